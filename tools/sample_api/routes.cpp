#include "routes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "json/json.h"

namespace tarvelo::sample_api {

namespace {

constexpr std::string_view kIgnoredKey = "application_id";

struct FaultEntry {
  Fault fault;
  std::string_view name;
};
constexpr FaultEntry kFaults[] = {
    {Fault::kNone, "none"}, {Fault::kClose, "close"}, {Fault::kHalf, "half"},
    {Fault::kStall, "stall"}, {Fault::kGarbage, "garbage"},
};

bool ParseFault(std::string_view name, Fault& fault) {
  if (name.empty()) name = "none";
  for (const FaultEntry& entry : kFaults) {
    if (entry.name != name) continue;
    fault = entry.fault;
    return true;
  }
  return false;
}

// The members of an object as text pairs; numbers are written as JSON prints them.
Pairs TextMembers(const json::Value& object) {
  Pairs pairs;
  for (const auto& [name, value] : json::members(object)) {
    pairs.emplace_back(name, value.kind() == json::Kind::String ? json::text(value) : json::print(value));
  }
  return pairs;
}

bool ParseRoute(const json::Value& entry, Route& route, std::string& error) {
  route.path = json::text(entry, "path");
  if (route.path.empty()) {
    error = "a route without \"path\"";
    return false;
  }
  if (json::at(entry, "query")) {
    route.any_query = false;
    route.query = TextMembers(json::object(entry, "query"));
    std::erase_if(route.query, [](const auto& pair) { return pair.first == kIgnoredKey; });
    std::sort(route.query.begin(), route.query.end());
  }
  route.required_headers = TextMembers(json::object(entry, "require_headers"));
  route.status = json::at(entry, "status") ? static_cast<int>(json::integer(entry, "status")) : 200;
  route.file = json::text(entry, "file");
  route.folder = json::text(entry, "folder");
  route.body = json::text(entry, "body");
  route.headers = TextMembers(json::object(entry, "headers"));
  route.delay_ms = static_cast<int>(json::integer(entry, "delay_ms"));
  route.trickle_ms = static_cast<int>(json::integer(entry, "trickle_ms"));
  route.fault_times = static_cast<int>(json::integer(entry, "fault_times"));
  route.in_batch = json::text(entry, "in_batch") != "false";
  if (!ParseFault(json::text(entry, "fault"), route.fault)) {
    error = "route " + route.path + ": unknown fault \"" + json::text(entry, "fault") + "\"";
    return false;
  }
  return true;
}

bool QueryMatches(const Route& route, const Pairs& request_query) {
  if (route.any_query) return true;
  Pairs query = request_query;
  std::erase_if(query, [](const auto& pair) { return pair.first == kIgnoredKey; });
  std::sort(query.begin(), query.end());
  return std::equal(route.query.begin(), route.query.end(), query.begin(), query.end(),
                    [](const auto& wanted, const auto& got) {
                      return wanted.first == got.first && (wanted.second == "*" || wanted.second == got.second);
                    });
}

bool PathMatches(const Route& route, std::string_view path) {
  return route.folder.empty() ? path == route.path : path.starts_with(route.path);
}

// Every "/"-separated segment names a file or folder below, never the folder itself or its parent.
bool StaysInFolder(std::string_view relative) {
  for (;;) {
    const size_t slash = relative.find('/');
    const std::string_view segment = relative.substr(0, slash);
    if (segment.empty() || segment == "." || segment == "..") return false;
    if (slash == std::string_view::npos) return true;
    relative.remove_prefix(slash + 1);
  }
}

bool HeadersMatch(const Route& route, const Pairs& request_headers) {
  return std::all_of(route.required_headers.begin(), route.required_headers.end(), [&](const auto& wanted) {
    return std::any_of(request_headers.begin(), request_headers.end(), [&](const auto& got) {
      return EqualIgnoringCase(wanted.first, got.first) && wanted.second == got.second;
    });
  });
}

}  // namespace

RouteTable LoadRoutes(const std::string& root) {
  RouteTable table;
  const std::string file_name = root + "/routes.json";
  std::ifstream file(file_name, std::ios::binary);
  if (!file) {
    table.error = "cannot read " + file_name;
    return table;
  }
  std::ostringstream text;
  text << file.rdbuf();
  const json::Value document = json::parse(text.str());
  const json::Value routes = json::array(document, "routes");
  if (!routes) {
    table.error = file_name + ": no \"routes\" array";
    return table;
  }
  for (size_t i = 0; i < json::length(routes); ++i) {
    Route route;
    if (!ParseRoute(json::item(routes, i), route, table.error)) {
      table.error = file_name + ": " + table.error;
      table.routes.clear();
      return table;
    }
    table.routes.push_back(std::move(route));
  }
  return table;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

const Route* MatchRoute(const std::vector<Route>& routes, const Request& request) {
  for (const Route& route : routes) {
    if (PathMatches(route, request.path) && QueryMatches(route, request.query) && HeadersMatch(route, request.headers)) {
      return &route;
    }
  }
  return nullptr;
}

std::string RouteFile(const Route& route, std::string_view request_path) {
  if (route.folder.empty()) return route.file;
  const std::string_view relative = request_path.substr(route.path.size());
  return StaysInFolder(relative) ? route.folder + "/" + std::string(relative) : std::string();
}

std::string_view FaultName(Fault fault) {
  for (const FaultEntry& entry : kFaults) {
    if (entry.fault == fault) return entry.name;
  }
  return "none";
}

}  // namespace tarvelo::sample_api
