#include "sample_service.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace tarvelo::testing {

namespace {

constexpr int kStartTimeoutMs = 10000;

// The first line the child writes, or empty when none comes in time.
std::string ReadFirstLine(int fd) {
  std::string line;
  char c = 0;
  while (line.size() < 32) {
    pollfd watch{fd, POLLIN, 0};
    if (poll(&watch, 1, kStartTimeoutMs) <= 0 || read(fd, &c, 1) != 1 || c == '\n') break;
    line.push_back(c);
  }
  return line;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream stream(line);
  for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
  return fields;
}

}  // namespace

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-test-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  return bytes.str();
}

RefusingPort::RefusingPort() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t size = sizeof address;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() { close(fd_); }

std::string RefusingPort::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::string SampleServiceProgram() {
  if (const char* program = std::getenv("TARVELO_SAMPLE_API"); program && *program) return program;
#ifdef TARVELO_SAMPLE_API
  return TARVELO_SAMPLE_API;
#else
  return "tarvelo-sample-api";
#endif
}

SampleService::SampleService(std::filesystem::path root, std::filesystem::path certificate,
                             std::filesystem::path key) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = "no pipe for the sample service";
    return;
  }
  const std::string program = SampleServiceProgram();
  const std::string root_text = root.string();
  const std::string log_text = (log_folder_.path() / "requests.log").string();
  std::vector<std::string> arguments = {program, "--root", root_text, "--port", "0"};
  arguments.insert(arguments.end(), {"--log", log_text, "--exit-with-parent"});
  if (!certificate.empty()) {
    scheme_ = "https";
    arguments.insert(arguments.end(), {"--tls-cert", certificate.string(), "--tls-key", key.string()});
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    pid_ = -1;
    error_ = "cannot start " + program;
  } else {
    const std::string line = ReadFirstLine(pipe_fds[0]);
    port_ = std::atoi(line.c_str());
    if (port_ <= 0) error_ = program + " printed no port (\"" + line + "\")";
  }
  close(pipe_fds[0]);
}

SampleService::~SampleService() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::string SampleService::url(std::string_view path) const {
  return scheme_ + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

Hosts SampleService::hosts() const {
  const std::string base = url();
  return Hosts{base, base, base, base, base, base, base};
}

std::vector<LoggedRequest> SampleService::requests() const {
  std::vector<LoggedRequest> requests;
  std::istringstream log(ReadBytes(log_folder_.path() / "requests.log"));
  for (std::string line; std::getline(log, line);) {
    std::vector<std::string> fields = SplitTabs(line);
    fields.resize(6);
    requests.push_back({fields[0], fields[1], fields[2], std::atoi(fields[3].c_str()), std::atoi(fields[4].c_str()),
                        std::atoll(fields[5].c_str())});
  }
  return requests;
}

std::vector<LoggedRequest> ApiRequests(const std::vector<LoggedRequest>& log) {
  std::vector<LoggedRequest> api;
  for (const LoggedRequest& request : log) {
    if (request.target.starts_with("/wot/") || request.target.starts_with("/wgn/")) api.push_back(request);
  }
  return api;
}

int MostInOneSecond(const std::vector<LoggedRequest>& log) {
  std::vector<int64_t> times;
  for (const LoggedRequest& request : log) times.push_back(request.at_ms);
  std::sort(times.begin(), times.end());
  int most = 0;
  for (size_t first = 0, last = 0; last < times.size(); ++last) {
    while (times[last] - times[first] >= 1000) ++first;
    most = std::max(most, static_cast<int>(last - first + 1));
  }
  return most;
}

int MostInFlight(const std::vector<LoggedRequest>& log) {
  int most = 0;
  for (const LoggedRequest& request : log) most = std::max(most, request.in_flight);
  return most;
}

std::vector<std::string> SampleService::targets() const {
  std::vector<std::string> targets;
  for (const LoggedRequest& request : requests()) targets.push_back(request.target);
  return targets;
}

}  // namespace tarvelo::testing
