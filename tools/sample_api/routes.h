// The routes file of the sample API service: which recorded answer goes with
// which request. The format is described in README.md beside this file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvelo::sample_api {

enum class Fault {
  kNone,
  kClose,    // close the connection without answering
  kHalf,     // send the headers and half the body, then close
  kStall,    // send the headers and half the body, then send nothing more
  kGarbage,  // send bytes that are not JSON instead of the body
};

using Pairs = std::vector<std::pair<std::string, std::string>>;

struct Route {
  std::string path;    // the whole path, or with `folder` the prefix of the paths served
  bool any_query = true;  // no "query" member: every query matches
  Pairs query;            // sorted by key; "*" as a value matches any value
  Pairs required_headers;
  int status = 200;
  std::string file;    // relative to the root; empty when `body` is used
  std::string folder;  // relative to the root: the path after `path` names a file in it
  std::string body;
  Pairs headers;
  int delay_ms = 0;
  int trickle_ms = 0;  // send the body one byte at a time, this long apart
  Fault fault = Fault::kNone;
  int fault_times = 0;   // > 0: the fault spoils only the first this many answers of the route
  bool in_batch = true;  // false: a multi-id answer built from this route leaves its id out
};

// A request as the service received it, percent-decoded.
struct Request {
  std::string method;
  std::string version;  // "HTTP/1.1"
  std::string path;
  Pairs query;  // in request order
  Pairs headers;
};

// Reads "routes.json" of the root; on failure `error` says why.
struct RouteTable {
  std::vector<Route> routes;
  std::string error;
};
RouteTable LoadRoutes(const std::string& root);

// The first route for the request; `application_id` never takes part.
const Route* MatchRoute(const std::vector<Route>& routes, const Request& request);

// The file of the root a matched route answers with: its `file`, or for a folder
// route the file the rest of the path names in the folder. Empty when the rest
// is empty or steps out of the folder ("..", an empty or "." segment).
std::string RouteFile(const Route& route, std::string_view request_path);

std::string_view FaultName(Fault fault);

// ASCII letters compared without case, as header names are.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tarvelo::sample_api
