// Test fixture: the sample API service (tools/sample_api) running as a child
// process on a free loopback port, serving a folder of recorded answers.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/addresses.h"

namespace tarvelo::testing {

// A fresh folder under the system's temporary folder, removed with its content.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes the bytes to the file, creating its folders.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// The whole file, or empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

// One line of the service's request log.
struct LoggedRequest {
  std::string method;
  std::string target;   // path and query, percent-decoded
  std::string outcome;  // the status sent, with the fault if any ("200 half"), or "close"
  int connection = 0;   // the number of the connection it came on, 1 for the first
  int in_flight = 0;    // the requests being served when it came, itself included
  int64_t at_ms = 0;    // when it had been read, in milliseconds since the service started
};

class SampleService {
 public:
  // Starts the service for `root` (which holds routes.json); check running().
  // With a certificate and its key (PEM files) it speaks HTTPS.
  explicit SampleService(std::filesystem::path root, std::filesystem::path certificate = {},
                         std::filesystem::path key = {});
  // Stops the service.
  ~SampleService();
  SampleService(const SampleService&) = delete;
  SampleService& operator=(const SampleService&) = delete;

  bool running() const { return port_ > 0; }
  const std::string& error() const { return error_; }
  int port() const { return port_; }
  // "http://127.0.0.1:PORT" (or https) followed by the path.
  std::string url(std::string_view path = {}) const;
  // Every host of the program pointed at the service.
  Hosts hosts() const;

  // The requests served so far, oldest first.
  std::vector<LoggedRequest> requests() const;
  std::vector<std::string> targets() const;

 private:
  ScratchFolder log_folder_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::string scheme_ = "http";
  std::string error_;
};

// The requests of the log to the publisher's API (paths under /wot/ and /wgn/).
std::vector<LoggedRequest> ApiRequests(const std::vector<LoggedRequest>& log);
// The most requests of the log read within any one second.
int MostInOneSecond(const std::vector<LoggedRequest>& log);
// The most requests of the log in flight at once.
int MostInFlight(const std::vector<LoggedRequest>& log);

// A loopback port that refuses connections: bound, but never listening.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  std::string url(std::string_view path) const;

 private:
  int fd_;
  int port_ = 0;
};

// The sample service program: $TARVELO_SAMPLE_API, else the one built with the tests.
std::string SampleServiceProgram();

}  // namespace tarvelo::testing
