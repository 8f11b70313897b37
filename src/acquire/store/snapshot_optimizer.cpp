#include "acquire/store/snapshot_optimizer.h"

#include <cstring>
#include <vector>

#include "acquire/store/cache_files.h"
#include "text/replace.h"

namespace tarvelo {

namespace detail {
namespace {

using Patterns = std::vector<std::string_view>;

struct Pass {
  Patterns patterns;
  Patterns replacements;  // empty: the patterns are removed
};

// The passes run in this order; later ones rely on what earlier ones left.
const std::vector<Pass>& OptimizationPasses() {
  static const std::vector<Pass> passes = {
      {{R"("dropped_capture_points":0,)", R"("survived_battles":0,)", R"("damage_received":0,)",
        R"("capture_points":0,)", R"("battle_avg_xp":0,)", R"("avg_damage_assisted":0.0,)", R"("hits_percents":0,)",
        R"("damage_dealt":0,)", R"("tanking_factor":0.0,)", R"("explosion_hits_received":0,)"},
       {}},
      {{R"(,"tanking_factor":0.0})", R"(,"explosion_hits_received":0})"}, {"}", "}"}},
      {{R"("avg_damage_blocked":0.0,)", R"("direct_hits_received":0,)", R"("explosion_hits":0,)",
        R"("piercings_received":0,)", R"("piercings":0,)", R"("win_points":0,)", R"("resource_absorbed":0,)",
        R"("avg_damage_assisted_radio":0.0,)", R"("no_damage_direct_hits_received":0,)"},
       {}},
      {{R"("base_xp":0,)", R"("avg_damage_assisted_track":0.0,)", R"(,"avg_damage_assisted_track":0.0)",
        R"("mark_of_mastery":0,)", R"("battles":0,)", R"("losses":0,)", R"("draws":0,)", R"("max_xp":0,)",
        R"("max_damage":0,)", R"("frags":0,)", R"("frags":null,)", R"("spotted":0,)", R"("max_frags":0,)",
        R"("death_count":0,)", R"("shots":0,)", R"("wins":0,)", R"("hits":0,)", R"("xp":0,)",
        R"("max_frags_tank_id":null,)", R"("max_damage_tank_id":null,)", R"("max_xp_tank_id":null,)"},
       {}},
      {{R"(,"dropped_capture_points":0})", R"(,"shots":0})"}, {"}", "}"}},
      {{R"({"max_frags":0})", R"({"shots":0})", R"({"wins":0})", R"({"avg_damage_assisted_track":0.0})",
        R"({"dropped_capture_points":0})"},
       {"null", "null", "null", "null", "null"}},
      {{R"("max_frags_with_avatar":0,)", R"("flag_capture_solo":0,)", R"("flag_capture":0,)"}, {}},
      {{R"(,"max_damage_with_avatar":0})", R"("flag_capture":0})"}, {"}", "}"}},
      {{R"("avatar_damage_dealt":0,)", R"(,"avatar_damage_dealt":0)", R"("avatar_frags":0,)",
        R"("max_win_points":0,)"},
       {}},
      {{R"({"max_damage_with_avatar":0})", R"({"avatar_damage_dealt":0})"}, {"null", "null"}},
      {{R"("achievements":null,)", R"("clan":null,)", R"("company":null,)", R"("team":null,)",
        R"("fallout":null,)", R"("stronghold_defense":null,)", R"("stronghold_skirmish":null,)",
        R"("regular_team":null,)", R"("historical":null,)", R"("globalmap":null,)"},
       {}},
  };
  return passes;
}

}  // namespace
}  // namespace detail

std::string OptimizeSnapshot(std::string_view text) {
  std::string result(text);
  for (const auto& pass : detail::OptimizationPasses()) {
    result = pass.replacements.empty() ? RemoveAll(result, pass.patterns)
                                       : ReplaceEach(result, pass.patterns, pass.replacements);
  }
  return result;
}

std::string PatchSnapshotFile(std::string_view text, std::string_view pattern, std::string_view replacement,
                              const FileOnDisk& file) {
  if (pattern.empty() || !Contains(text, pattern)) return std::string(text);
  std::string patched = ReplaceAll(text, pattern, replacement);
  if (file.present() && patched != text) RewriteKeepingDate(*file.disk, patched, file.path);
  return patched;
}

}  // namespace tarvelo
