// The web server the test harness (./run) starts on 127.0.0.1 for the
// upgrade check: its port, its document folder and its access log, from
// GLIMRA_HTTP_PORT, GLIMRA_HTTP_DOCS and GLIMRA_HTTP_LOG. Also a port where
// nothing listens, a listener that takes connections and never answers, and
// a server that answers as a test scripts it (slowly, cut short, redirecting).
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <utility>

#include "SettingsTestSupport.h"
#include "WineTestSupport.h"

namespace wine_test {

class LoopbackWeb {
 public:
  LoopbackWeb() {
    const char* port = std::getenv("GLIMRA_HTTP_PORT");
    const char* docs = std::getenv("GLIMRA_HTTP_DOCS");
    const char* log = std::getenv("GLIMRA_HTTP_LOG");
    if (port && docs && log) {
      port_ = port;
      docs_ = docs;
      log_ = log;
    }
  }
  // False when the test runs without the harness's server.
  bool Running() const { return !port_.empty(); }
  std::string Host() const { return "127.0.0.1:" + port_; }

  // Puts `bytes` on the server as the version document, or takes it away.
  void Post(const std::string& bytes) const { PutFile(docs_ + "\\glimraver32", bytes); }
  void Withdraw() const { DeleteFileA((docs_ + "\\glimraver32").c_str()); }
  std::string AccessLog() const { return FileBytes(log_); }
  // The access log's line for the request that held `marker`, waiting for
  // it (the server writes its log in batches).
  std::string LogLineWith(const std::string& marker) const {
    std::string line;
    const bool found = WaitUntil([&] {
      const std::string log = AccessLog();
      const std::size_t at = log.find(marker);
      if (at == std::string::npos) return false;
      const std::size_t start = log.rfind('\n', at) == std::string::npos ? 0 : log.rfind('\n', at) + 1;
      line = log.substr(start, log.find('\n', at) - start);
      return true;
    });
    return found ? line : "<no request with " + marker + ">";
  }

 private:
  std::string port_, docs_, log_;
};

inline void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

// A socket bound to a free port of 127.0.0.1, listening or not.
inline SOCKET BoundSocket(bool listening) {
  StartWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  if (listening) listen(s, 4);
  return s;
}

inline int PortOf(SOCKET s) {
  sockaddr_in address{};
  int size = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

// A port of 127.0.0.1 where nothing listens: taken from the system, then let go.
inline int PortWhereNothingListens() {
  SOCKET s = BoundSocket(false);
  const int port = PortOf(s);
  closesocket(s);
  return port;
}

// A server of the test's own for answers the harness's server cannot give:
// to every connection, one after the other, it sends `answer` at once, then
// the bytes of `trickle` one by one, `everyMs` apart, and then closes, or
// holds the connection open without another byte until it goes.
class ScriptedServer {
 public:
  enum class AtEnd { Close, HoldOpen };
  static constexpr DWORD kTrickleEveryMs = 2000;

  explicit ScriptedServer(std::string answer, std::string trickle = "", AtEnd atEnd = AtEnd::Close)
      : socket_(BoundSocket(true)), answer_(std::move(answer)), trickle_(std::move(trickle)), atEnd_(atEnd) {
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Serve, this, 0, nullptr);
  }
  ~ScriptedServer() {
    SetEvent(release_);
    closesocket(socket_);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(release_);
  }
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  std::string Host() const { return "127.0.0.1:" + std::to_string(PortOf(socket_)); }
  // Whether the whole trickle of a connection has gone out.
  bool TrickleEnded() const { return trickleEnded_; }
  int Connections() const { return connections_; }

 private:
  static DWORD WINAPI Serve(void* self) {
    auto& server = *static_cast<ScriptedServer*>(self);
    for (;;) {
      SOCKET client = accept(server.socket_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return 0;
      ++server.connections_;
      const bool released = server.Answer(client);
      closesocket(client);
      if (released) return 0;
    }
  }

  // True when the server was let go while answering.
  bool Answer(SOCKET client) {
    char request[4096];
    recv(client, request, sizeof request, 0);
    send(client, answer_.data(), static_cast<int>(answer_.size()), 0);
    for (char byte : trickle_) {
      if (WaitForSingleObject(release_, kTrickleEveryMs) == WAIT_OBJECT_0) return true;
      if (send(client, &byte, 1, 0) != 1) return false;
    }
    trickleEnded_ = true;
    if (atEnd_ == AtEnd::Close) return false;
    WaitForSingleObject(release_, INFINITE);
    return true;
  }

  SOCKET socket_;
  std::string answer_, trickle_;
  AtEnd atEnd_;
  std::atomic<bool> trickleEnded_{false};
  std::atomic<int> connections_{0};
  HANDLE release_ = nullptr, thread_ = nullptr;
};

// Takes connections (the system completes them) and never says a word.
class SilentListener {
 public:
  SilentListener() : socket_(BoundSocket(true)) {}
  ~SilentListener() { closesocket(socket_); }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  std::string Host() const { return "127.0.0.1:" + std::to_string(PortOf(socket_)); }

 private:
  SOCKET socket_;
};

}  // namespace wine_test
