// The JSON parser and getters on any bytes: parse, read every path found, print,
// and the print parsed again prints the same; a pruned parse refuses exactly
// what the whole parse refuses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/json.h"

namespace {

// Reads every member and item down to a few levels with every getter, by path
// from the root as the program's readers do.
void ReadAll(const tarvelo::json::Value& root, const tarvelo::json::Value& value, const std::string& path, int depth,
             int& budget) {
  using namespace tarvelo;
  if (depth > 6 || --budget < 0) return;
  json::integer(root, path);
  json::real(root, path);
  json::text(root, path);
  json::boolean(root, path);
  if (value.kind() == json::Kind::Object) {
    for (const auto& [name, member] : json::members(value)) {
      ReadAll(root, member, path.empty() ? std::string(name) : path + "." + std::string(name), depth + 1, budget);
    }
  } else if (value.kind() == json::Kind::Array) {
    for (size_t i = 0; i < json::length(value) && i < 8; ++i) {
      json::item_text(value, i);
      ReadAll(value, json::item(value, i), {}, depth + 1, budget);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const json::Value document = json::parse(text);
  const json::ItemPruning pruning{"data.vehicles", [](std::string_view name) { return name.size() % 2 == 0; }};
  if (json::parse(text, pruning).present() != document.present()) std::abort();
  if (!document.present()) return 0;
  int budget = 2000;
  ReadAll(document, document, {}, 0, budget);
  const std::string printed = json::print(document);
  const json::Value again = json::parse(printed);
  if (!again.present() || json::print(again) != printed) std::abort();
  return 0;
}
