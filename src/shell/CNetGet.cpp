#include "shell/CNetGet.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "shell/UpgradeRules.h"

namespace glimra {

namespace {

constexpr DWORD kSocketTimedOut = 10060;
constexpr char kDocumentTooLarge[] = "The document on the web server is too large to be a version document.";

// Closes a WinINet handle when it goes.
class HandleCloser {
 public:
  explicit HandleCloser(HINTERNET& handle) : handle_(handle) {}
  ~HandleCloser() {
    if (handle_) InternetCloseHandle(handle_);
    handle_ = nullptr;
  }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;

 private:
  HINTERNET& handle_;
};

std::string ProgramName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name.erase(0, name.find_last_of("\\/") + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool Succeeded(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return false;
  return status >= 200 && status < 300;
}

// The body's length as the server gave it; nothing when it gave none.
std::optional<DWORD> ContentLength(HINTERNET request) {
  DWORD length = 0, size = sizeof length;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr))
    return std::nullopt;
  return length;
}

}  // namespace

CNetGet::~CNetGet() { Term(); }

void CNetGet::Init(const std::optional<std::string>& userAgent) {
  if (userAgent)
    userAgent_ = *userAgent;
  else if (!agentChosen_)
    userAgent_ = ProgramName();
  Term();
  request_ = nullptr;
  text_.clear();
  lastError_.clear();
  internet_ = InternetOpenA(userAgent_.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!internet_) return;
  initialised_ = kTrue;
  SetTimeouts(internet_);
}

HINTERNET CNetGet::SendRequest(const std::string& url, HINTERNET& connection) {
  char host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
  char path[INTERNET_MAX_PATH_LENGTH] = {};
  char extra[INTERNET_MAX_PATH_LENGTH] = {};
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = sizeof extra;
  if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) {
    CheckError();
    return nullptr;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP) {
    lastError_ = TranslateErrorCode(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    return nullptr;
  }
  SetTimeouts(internet_);  // connecting counts against the deadline too
  connection = InternetConnectA(internet_, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection) {
    CheckError();
    return nullptr;
  }
  const std::string object = std::string(path) + extra;
  HINTERNET request = HttpOpenRequestA(connection, "GET", object.c_str(), nullptr, nullptr, nullptr, kOpenFlags, 0);
  if (!request) {
    CheckError();
    return nullptr;
  }
  SetTimeouts(request);
  if (MustEnd()) {
    InternetCloseHandle(request);
    return nullptr;
  }
  if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
    CheckError();
    InternetCloseHandle(request);
    return nullptr;
  }
  return request;
}

bool CNetGet::ReadBody(HINTERNET request) {
  char buffer[kReadSize];
  for (;;) {
    if (MustEnd()) return false;
    SetTimeouts(request);
    DWORD read = 0;
    if (!InternetReadFile(request, buffer, kReadSize, &read)) {
      // A read that timed out part-way leaves the start of a version text,
      // which would compare as some other version.
      CheckError();
      return false;
    }
    if (read == 0) return true;
    if (text_.size() + read > kMaxDocumentBytes) {
      lastError_ = kDocumentTooLarge;
      return false;
    }
    text_.append(buffer, read);
  }
}

VBBool CNetGet::ReadUrl(const std::string& url) {
  try {
    HINTERNET connection = nullptr;
    HandleCloser closeConnection(connection);
    request_ = SendRequest(url, connection);
    if (!request_) return kFalse;
    HandleCloser closeRequest(request_);
    text_.clear();
    if (!Succeeded(request_)) return kTrue;
    const std::optional<DWORD> length = ContentLength(request_);
    if (!ReadBody(request_)) {
      text_.clear();
      return kFalse;
    }
    // A connection that closed early leaves the start of a version text,
    // which would compare as some other version.
    if (length && *length != text_.size()) {
      text_.clear();
      lastError_ = TranslateErrorCode(ERROR_INTERNET_CONNECTION_ABORTED);
      return kFalse;
    }
    return kTrue;
  } catch (...) {
    return kFalse;
  }
}

void CNetGet::SetDeadline(DWORD milliseconds, std::function<bool()> stop) {
  deadlineSet_ = true;
  deadlineStart_ = GetTickCount();
  deadlineMs_ = milliseconds;
  stop_ = std::move(stop);
}

bool CNetGet::MustEnd() {
  if (stop_ && stop_()) {
    lastError_ = TranslateErrorCode(ERROR_INTERNET_OPERATION_CANCELLED);
    return true;
  }
  if (WaitLimit() > 0) return false;
  lastError_ = TranslateErrorCode(ERROR_INTERNET_TIMEOUT);
  return true;
}

DWORD CNetGet::WaitLimit() const {
  if (!deadlineSet_) return kTimeoutMs;
  const DWORD spent = GetTickCount() - deadlineStart_;  // right across the counter's wrap
  return spent >= deadlineMs_ ? 0 : std::min(kTimeoutMs, deadlineMs_ - spent);
}

// Windows hands the internet handle's timeouts down to its requests; Wine
// does so only for connecting, so each request gets them too.
void CNetGet::SetTimeouts(HINTERNET handle) const {
  DWORD timeout = std::max<DWORD>(WaitLimit(), 1);
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionA(handle, option, &timeout, sizeof timeout);
}

void CNetGet::Term() {
  if (!internet_) return;
  if (InternetCloseHandle(internet_)) {
    internet_ = nullptr;
    initialised_ = kFalse;
  } else {
    CheckError();
  }
}

void CNetGet::CheckError() {
  DWORD code = ::GetLastError();
  // Wine gives a WinINet call that timed out the socket's code, Windows its own.
  if (code == kSocketTimedOut) code = ERROR_INTERNET_TIMEOUT;
  if (code > 0) lastError_ = TranslateErrorCode(static_cast<long>(code));
}

std::string CNetGet::TranslateErrorCode(long code) { return WinInetErrorText(code); }

std::string CNetGet::GetRawHTML() const {
  const std::size_t first = text_.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text_.substr(first, text_.find_last_not_of(' ') - first + 1);
}

void CNetGet::SetUserAgent(const std::string& agent) {
  if (agent.empty()) return;
  userAgent_ = agent;
  agentChosen_ = true;
}

// ---- the fetch on a thread of its own ----

struct BackgroundFetch::Job {
  std::string url;
  DWORD deadlineMs = 0;
  std::atomic<bool> givenUp{false};
  std::atomic<bool> finished{false};
  Result result;
};

BackgroundFetch::BackgroundFetch(const std::string& url, DWORD deadlineMs) : job_(std::make_shared<Job>()) {
  job_->url = url;
  job_->deadlineMs = deadlineMs;
  auto* threadShare = new std::shared_ptr<Job>(job_);
  const std::uintptr_t thread = _beginthreadex(nullptr, 0, Run, threadShare, 0, nullptr);
  if (thread == 0) {
    delete threadShare;
    job_->result.error = WinInetErrorText(ERROR_INTERNET_OUT_OF_HANDLES);
    job_->finished = true;
    return;
  }
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  started_ = true;
}

BackgroundFetch::~BackgroundFetch() { job_->givenUp = true; }

bool BackgroundFetch::Finished() const { return job_->finished; }

const BackgroundFetch::Result& BackgroundFetch::Outcome() const { return job_->result; }

unsigned __stdcall BackgroundFetch::Run(void* share) {
  const std::shared_ptr<Job> job = *static_cast<std::shared_ptr<Job>*>(share);
  delete static_cast<std::shared_ptr<Job>*>(share);
  Result result;
  try {
    CNetGet net;
    net.Init();
    net.SetDeadline(job->deadlineMs, [&job] { return job->givenUp.load(); });
    result.fetched = IsTrue(net.ReadUrl(job->url));
    result.text = net.Text();
    result.error = net.GetLastError();
  } catch (...) {
    result = Result{false, "", WinInetErrorText(ERROR_INTERNET_INTERNAL_ERROR)};
  }
  job->result = std::move(result);
  job->finished = true;  // after the result: the waiting thread reads it once it sees this
  return 0;
}

}  // namespace glimra
