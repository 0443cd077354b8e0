// Fetching one document over HTTP with WinINet, for the upgrade check. One
// object per check; nothing is reported from inside: a failure leaves its
// text in GetLastError.
//
// A fetch is bounded: connecting, sending and every read give up after
// kTimeoutMs (WinINet then reports its own error, which ends the fetch),
// a document longer than kMaxDocumentBytes is refused rather than read on
// for ever, and SetDeadline bounds the whole fetch. Redirects are not
// followed: the version document is the maker's, on the maker's host.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "runtime/Conversions.h"

namespace glimra {

class CNetGet {
 public:
  static constexpr DWORD kReadSize = 2048;
  static constexpr DWORD kTimeoutMs = 5000;
  static constexpr std::size_t kMaxDocumentBytes = 16384;
  static constexpr DWORD kOpenFlags = 0x20000000 | INTERNET_FLAG_NO_AUTO_REDIRECT;  // 0x20000000: EXISTING_CONNECT

  CNetGet() = default;
  ~CNetGet();
  CNetGet(const CNetGet&) = delete;
  CNetGet& operator=(const CNetGet&) = delete;

  // Opens a new internet handle (closing an open one) with `userAgent`;
  // without one, with the agent SetUserAgent stored, or the program's file
  // name without extension.
  void Init(const std::optional<std::string>& userAgent = std::nullopt);
  // Fetches the whole body of `url` into Text(). False, with the reason in
  // GetLastError, when the request could not be made, a read failed
  // part-way, the body is not as long as the server said or longer than a
  // document can be, the deadline passed or `stop` held; a server that
  // answers with anything but success (a redirect too) gives an empty text.
  VBBool ReadUrl(const std::string& url);
  // The fetches from now on end, failed, `milliseconds` from now, and between
  // reads when `stop` holds (it is asked on the fetching thread).
  void SetDeadline(DWORD milliseconds, std::function<bool()> stop = nullptr);
  const std::string& Text() const { return text_; }
  void Term();
  // The last error of the preceding call, translated, when there is one.
  void CheckError();
  static std::string TranslateErrorCode(long code);
  // The text without leading and trailing blanks.
  std::string GetRawHTML() const;
  std::string GetLastError() const { return lastError_; }
  void SetUserAgent(const std::string& agent);

  VBBool Initialised() const { return initialised_; }
  std::string UserAgent() const { return userAgent_; }

 private:
  // The request for `url`, sent with the timeouts; null after CheckError.
  HINTERNET SendRequest(const std::string& url, HINTERNET& connection);
  // Reads the body into text_; false, with the error set, when a read fails,
  // the body is longer than a document can be or the fetch must end.
  bool ReadBody(HINTERNET request);
  // Whether the fetch must end now; sets the error when it must.
  bool MustEnd();
  // What is left of the deadline, at most kTimeoutMs, for each wait on the server.
  DWORD WaitLimit() const;
  void SetTimeouts(HINTERNET handle) const;

  HINTERNET internet_ = nullptr;
  VBBool initialised_ = kFalse;
  HINTERNET request_ = nullptr;
  std::string text_;
  std::string lastError_;
  std::string userAgent_;
  bool agentChosen_ = false;
  bool deadlineSet_ = false;
  DWORD deadlineStart_ = 0, deadlineMs_ = 0;
  std::function<bool()> stop_;
};

// One fetch on a thread of its own, so that the window waiting for it keeps
// answering the member and the client. The thread owns all it touches: a
// fetch given up (the member cancelled, the check ran out of time) ends by
// itself at its deadline, or when the server lets go, and nobody waits for it.
class BackgroundFetch {
 public:
  struct Result {
    bool fetched = false;
    std::string text, error;
  };

  BackgroundFetch(const std::string& url, DWORD deadlineMs);
  ~BackgroundFetch();  // gives up a fetch still running
  BackgroundFetch(const BackgroundFetch&) = delete;
  BackgroundFetch& operator=(const BackgroundFetch&) = delete;

  // False when the thread could not be started (Outcome() then says why).
  bool Started() const { return started_; }
  bool Finished() const;
  // Valid once Finished().
  const Result& Outcome() const;

 private:
  struct Job;
  static unsigned __stdcall Run(void* job);
  std::shared_ptr<Job> job_;
  bool started_ = false;
};

}  // namespace glimra
