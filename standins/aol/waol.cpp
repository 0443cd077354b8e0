// The stand-in AOL client, waol.exe: see Frame.h for the main window.
#include <windows.h>

#include "ChatRoom.h"
#include "Client.h"
#include "Controls.h"
#include "EventLog.h"
#include "Frame.h"
#include "MailWindow.h"
#include "SignOn.h"

namespace {

using namespace waol;

// A second copy started with -s<word> hands the word to the running client.
bool HandOverKeyword(const std::string& word) {
  HWND running = FindWindowA("AOL Frame25", nullptr);
  if (!running) return false;
  COPYDATASTRUCT data{kKeywordCopyData, static_cast<DWORD>(word.size() + 1), const_cast<char*>(word.c_str())};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &result);
  return true;
}

// The 16-bit client's case: the same program under another module name.
bool RestartUnderModuleName(const ClientConfig& config) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string selfPath = self;
  const std::string selfName = selfPath.substr(selfPath.find_last_of('\\') + 1);
  if (config.moduleName.empty() || Lower(config.moduleName) == Lower(selfName)) return false;
  const std::string target = config.folder + "\\" + config.moduleName;
  CopyFileA(self, target.c_str(), FALSE);
  const char* arguments = GetCommandLineA();
  if (*arguments == '"')
    arguments = strchr(arguments + 1, '"') ? strchr(arguments + 1, '"') + 1 : "";
  else
    while (*arguments && *arguments != ' ') ++arguments;
  std::string commandLine = "\"" + target + "\"" + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(target.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  Client& client = TheClient();
  client.instance = instance;
  client.config = LoadConfig(commandLine);
  if (!client.config.keyword.empty() && HandOverKeyword(client.config.keyword)) return 0;
  if (RestartUnderModuleName(client.config)) return 0;

  SetEventLogPath(client.config.logPath);
  LogEvent({"start", std::to_string(GetCurrentProcessId()),
            std::to_string(client.config.version) + "." + std::to_string(client.config.minor),
            EditionName(client.config.edition)});
  if (!RegisterControlClasses(instance) || !RegisterDocumentClass(instance) || !RegisterMailClasses(instance) ||
      !RegisterFrameClass(instance)) {
    LogEvent({"error", "window classes"});
    return 1;
  }
  client.signedOn = client.config.signedOn;
  PublishState();
  SetPasteObserver([](HWND body, const std::string& markup) {
    LogEvent({"mailpaste", WindowString(GetParent(body)), markup});
  });
  if (!CreateFrame(show == SW_HIDE ? SW_SHOWNORMAL : show)) return 1;

  if (client.signedOn)
    OpenWelcomeWindow();
  else
    OpenSignOnWindow();
  if (client.signedOn)
    for (const std::string& room : client.config.chatRooms) OpenChatRoom(room);
  if (!client.config.keyword.empty()) RunKeyword(client.config.keyword);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateMDISysAccel(client.mdiClient, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
