// `tarvelo --figures SNAPSHOT.json [--older OLDER.json] [--mode KEY] [--id ACCOUNT_ID]`:
// the figures computed from one cached snapshot, or of the period since an older
// one, printed as JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvelo {

// argv as main received it, argv[1] being "--figures".
int RunFigures(int argc, char** argv);

// The arguments after "--figures".
int RunFigures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
