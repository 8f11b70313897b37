#include "acquire/curl_transfer.h"

namespace tarvelo::curl {

namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for network events may last: the stall watch of every
// transfer runs at least this often.
constexpr int kPollMs = 1000;

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->body.append(data, size * count);
  transfer->last_activity = Clock::now();
  return size * count;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->last_activity = Clock::now();
  return size * count;
}

// libcurl calls this about once a second even while nothing arrives.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<Transfer*>(user);
  if (Clock::now() - transfer->last_activity < transfer->stall_limit) return 0;
  transfer->stalled = true;
  return 1;
}

TransferEnd EndOf(CURLcode code, const Transfer& transfer, int status) {
  if (code == CURLE_OK) return TransferEnd::kComplete;
  if (transfer.stalled || code == CURLE_OPERATION_TIMEDOUT) return TransferEnd::kTimedOut;
  return status > 0 ? TransferEnd::kInterrupted : TransferEnd::kNoConnection;
}

void ApplyProxy(CURL* handle, const ProxySetting& proxy) {
  switch (proxy.mode) {
    case ProxyMode::kPreconfigured:
      break;  // libcurl reads the environment's proxies itself
    case ProxyMode::kDirect:
      curl_easy_setopt(handle, CURLOPT_PROXY, "");
      break;
    case ProxyMode::kNamed:
      curl_easy_setopt(handle, CURLOPT_PROXY, proxy.name.c_str());
      curl_easy_setopt(handle, CURLOPT_NOPROXY, "");
      break;
  }
}

// False when the multi handle failed or the wait was cancelled.
bool Drive(CURLM* multi, int active, const TransferWait* wait) {
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) return false;
    if (wait != nullptr && wait->Cancelled()) return false;
    if (running < active) return true;
    if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) return false;
  }
}

}  // namespace

bool DriveUntilOneEnds(CURLM* multi, int active, TransferWait* wait) {
  if (wait == nullptr) return Drive(multi, active, nullptr);
  if (wait->Cancelled()) return false;
  bool ok = false;
  wait->Run([&] { ok = Drive(multi, active, wait); }, [multi] { curl_multi_wakeup(multi); });
  return ok && !wait->Cancelled();
}

void Prepare(CURL* handle, const HttpRequest& request, Transfer& transfer) {
  curl_easy_reset(handle);
  transfer.wire_url = EscapeUrlForWire(request.url);
  if (!request.extra_header.empty()) transfer.headers.reset(curl_slist_append(nullptr, request.extra_header.c_str()));
  transfer.last_activity = Clock::now();
  transfer.stall_limit = request.limits.stall_limit;

  curl_easy_setopt(handle, CURLOPT_URL, transfer.wire_url.c_str());
  curl_easy_setopt(handle, CURLOPT_USERAGENT, request.user_agent.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, transfer.headers.get());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_FILETIME, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.limits.connect_timeout.count()));
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  if (!request.ca_file.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, request.ca_file.c_str());
  ApplyProxy(handle, request.proxy);
}

HttpResponse Finish(CURL* handle, CURLcode code, Transfer& transfer) {
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t file_time = -1;
  curl_easy_getinfo(handle, CURLINFO_FILETIME_T, &file_time);
  HttpResponse response;
  response.status = static_cast<int>(status);
  response.end = EndOf(code, transfer, response.status);
  response.body = std::move(transfer.body);
  if (file_time >= 0) response.last_modified = static_cast<int64_t>(file_time);
  return response;
}

}  // namespace tarvelo::curl
