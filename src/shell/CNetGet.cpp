#include "shell/CNetGet.h"

#include "shell/UpgradeNotify.h"
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

// Windows hands the internet handle's timeouts down to its requests; Wine
// does so only for connecting, so each request gets them too.
void SetTimeouts(HINTERNET handle) {
  DWORD timeout = CNetGet::kTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionA(handle, option, &timeout, sizeof timeout);
}

bool Succeeded(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return false;
  return status >= 200 && status < 300;
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
    if (Succeeded(request_) && !ReadBody(request_)) {
      text_.clear();
      return kFalse;
    }
    PostedVersion() = text_;
    return kTrue;
  } catch (...) {
    return kFalse;
  }
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

}  // namespace glimra
