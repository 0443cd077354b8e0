// The AOL main window "AOL Frame25": menu bar (built a pop-up at a time while
// the client starts), the "AOL Toolbar", the "MDIClient" with the document
// windows, keywords handed over by a second "waol.exe -s<word>", and the
// state the relay library reads.
#pragma once

#include <windows.h>

#include <string>

namespace waol {

// Menu command ids of the client.
enum MenuId : WORD {
  kMenuNew = 8193,
  kMenuOpen = 8194,
  kMenuSave = 8195,
  kMenuExit = 8207,  // ends the client like closing its main window
  kMenuCascade = 8300,
  kMenuTile = 8301,
  kMenuSignOff = 8400,
  kMenuSwitchName = 8401,
  kMenuAbout = 8500,
  kMenuOfflineHelp = 8501,
};

constexpr ULONG_PTR kKeywordCopyData = 0x4B57;  // WM_COPYDATA tag of a keyword
constexpr const char* kOnlineQueryMessage = "WAOL_STANDIN_ONLINE";

bool RegisterFrameClass(HINSTANCE instance);
HWND CreateFrame(int show);
void RunKeyword(const std::string& word);
void UpdateSignOffMenu();
// Writes waol.state beside the program: version, on-line state and names.
void PublishState();
void WithdrawState();

}  // namespace waol
