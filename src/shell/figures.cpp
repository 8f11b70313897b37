#include "shell/figures.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>

#include "model/figures.h"
#include "model/reference.h"
#include "shell/core_state.h"
#include "shell/environment.h"

namespace tarvelo {
namespace {

constexpr const char* kUsage =
    "Использование: tarvelo --figures СНИМОК.json [--older РАННИЙ_СНИМОК.json] [--mode РЕЖИМ] "
    "[--id НОМЕР_ИГРОКА]\n"
    "С ключом --older показатели даны за период между двумя снимками.\n";

struct FiguresArguments {
  std::string snapshot_path;
  std::string older_path;  // empty: one snapshot, no period
  FiguresOptions options;
};

std::optional<FiguresArguments> ReadArguments(const std::vector<std::string>& args) {
  FiguresArguments parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--older" && has_value && parsed.older_path.empty() && !args[i + 1].empty()) {
      parsed.older_path = args[++i];
    } else if (arg == "--mode" && has_value) {
      parsed.options.mode_key = args[++i];
    } else if (arg == "--id" && has_value) {
      parsed.options.account_id = args[++i];
    } else if (parsed.snapshot_path.empty() && !arg.empty() && arg.rfind("--", 0) != 0) {
      parsed.snapshot_path = arg;
    } else {
      return std::nullopt;
    }
  }
  if (parsed.snapshot_path.empty()) return std::nullopt;
  return parsed;
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  try {
    // The buffer throws on a read error, a folder's name for one.
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return text;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

std::optional<std::string> ReadSnapshotFile(const std::string& path, std::ostream& err) {
  std::optional<std::string> text = ReadFile(path);
  if (!text) err << "Не удалось прочитать файл " << path << ".\n";
  return text;
}

}  // namespace

int RunFigures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto parsed = ReadArguments(args);
  if (!parsed) {
    err << kUsage;
    return 2;
  }
  const auto snapshot = ReadSnapshotFile(parsed->snapshot_path, err);
  if (!snapshot) return 1;
  std::optional<std::string> older;
  if (!parsed->older_path.empty()) {
    older = ReadSnapshotFile(parsed->older_path, err);
    if (!older) return 1;
  }
  // The documents the window would use.
  const std::unique_ptr<Disk> disk = MakeRealDisk(nullptr);
  for (const std::string& error : LoadDataFolderReference(*disk, Environment::OfProcess(*disk).data_folder)) {
    err << error << "\n";
  }
  if (older) return WritePeriodFigures(*snapshot, *older, parsed->options, Reference(), out, err);
  return WriteFigures(*snapshot, parsed->options, Reference(), out, err);
}

int RunFigures(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 2; i < argc; ++i) args.emplace_back(argv[i]);
  return RunFigures(args, std::cout, std::cerr);
}

}  // namespace tarvelo
