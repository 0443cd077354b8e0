// Fetching one document over HTTP with WinINet, for the upgrade check. One
// object per check; nothing is reported from inside: a failure leaves its
// text in GetLastError.
//
// A fetch is bounded: connecting, sending and every read give up after
// kTimeoutMs (WinINet then reports its own error, which ends the fetch),
// and a document longer than kMaxDocumentBytes is refused rather than read
// on for ever.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

#include "runtime/Conversions.h"

namespace glimra {

class CNetGet {
 public:
  static constexpr DWORD kReadSize = 2048;
  static constexpr DWORD kTimeoutMs = 5000;
  static constexpr std::size_t kMaxDocumentBytes = 16384;
  static constexpr DWORD kOpenFlags = 0x20000000;  // INTERNET_FLAG_EXISTING_CONNECT

  CNetGet() = default;
  ~CNetGet();
  CNetGet(const CNetGet&) = delete;
  CNetGet& operator=(const CNetGet&) = delete;

  // Opens a new internet handle (closing an open one) with `userAgent`;
  // without one, with the agent SetUserAgent stored, or the program's file
  // name without extension.
  void Init(const std::optional<std::string>& userAgent = std::nullopt);
  // Fetches the whole body of `url` into the text and PostedVersion(). False,
  // with the reason in GetLastError, when the request could not be made, a
  // read failed part-way or the body is longer than a document can be; a
  // server that answers with anything but success gives an empty text.
  VBBool ReadUrl(const std::string& url);
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
  // Reads the body into text_; false, with the error set, when a read fails
  // or the body is longer than a document can be.
  bool ReadBody(HINTERNET request);

  HINTERNET internet_ = nullptr;
  VBBool initialised_ = kFalse;
  HINTERNET request_ = nullptr;
  std::string text_;
  std::string lastError_;
  std::string userAgent_;
  bool agentChosen_ = false;
};

}  // namespace glimra
