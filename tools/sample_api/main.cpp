// tarvelo-sample-api --root DIR [--port N] [--log FILE] [--tls-cert PEM --tls-key PEM] [--exit-with-parent]
//
// Serves the recorded answers of DIR/routes.json on 127.0.0.1. The first line of
// standard output is the port (useful with --port 0, which picks a free one).

#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server.h"

namespace {

constexpr const char* kUsage =
    "usage: tarvelo-sample-api --root DIR [--port N|0] [--log FILE] [--tls-cert PEM --tls-key PEM]"
    " [--exit-with-parent]\n";

struct Options : tarvelo::sample_api::ServerOptions {
  bool exit_with_parent = false;
};

bool ParseArguments(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--exit-with-parent") {
      options.exit_with_parent = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (name == "--root") {
      options.root = value;
    } else if (name == "--port") {
      char* end = nullptr;
      const long port = std::strtol(value.c_str(), &end, 10);
      if (*end != '\0' || port < 0 || port > 65535) return false;
      options.port = static_cast<int>(port);
    } else if (name == "--log") {
      options.log_file = value;
    } else if (name == "--tls-cert") {
      options.certificate_file = value;
    } else if (name == "--tls-key") {
      options.key_file = value;
    } else {
      return false;
    }
  }
  return !options.root.empty() && options.certificate_file.empty() == options.key_file.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseArguments(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // A test that dies without stopping the service takes it along.
  if (options.exit_with_parent) prctl(PR_SET_PDEATHSIG, SIGTERM);
  return tarvelo::sample_api::RunServer(options);
}
