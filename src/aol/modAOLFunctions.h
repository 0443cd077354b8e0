// Finding, starting and reading the AOL client: its folder, version,
// edition, on-line state and screen names, and its chat and mail windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "aol/AOLClientState.h"
#include "runtime/Conversions.h"

namespace glimra {

// The start-up splash that attaching to or starting the client drives.
struct SplashProgress {
  std::function<void()> show = [] {};
  std::function<void(const std::string&)> caption = [](const std::string&) {};
  std::function<void(int)> value = [](int) {};
};
SplashProgress& Splash();

// The client's main window and its document area, as last looked up.
HWND AOLFrame();
HWND AOLMDIClient();

// Attaches to the running client: main window, folder (stored as "AOL Path").
// Ends the program for the 16-bit client.
void AOLIsRunning();
// Starts waol.exe from the stored folder and waits for its main window; ends
// the program when the client dies before showing it.
void StartAOL();
// Asks for the AOL folder with the folder picker (mode 1 first run, 0 change).
void GetAOLPath(std::int16_t mode);
// Runs "waol.exe -s<word>" hidden.
void RunAOLCommand(const std::string& word);
void GetAOLVersion();
VBBool RunMenuByString(HWND window, const std::string& caption, VBBool run);
VBBool IsAOLAU();
// Finds the editions (UK, Canada, Australia) of a version 4 or 5 client.
void DetectEdition();
VBBool IsAOLOnline(VBBool showMessage);
void GetScreenNames();
void ReadSignOnNames();
std::string GetCurrentScreenName();

// Chat and mail windows.
HWND FindChatRoom(HWND parent, const std::string& childClass);
void TextToChat(const std::string& text, std::int16_t mode);
// The room's chat input box: its second "RICHCNTL" child; 0 without one.
HWND ChatInputBox(HWND room);
// After Glimra's own send: shows the chat input box again (it was hidden while
// the markup went out) and gives it the keyboard focus, so that the member's
// next keys go into it. The box lives in AOL's thread: its focus is set with
// that thread's input joined for the call.
void ShowChatBox(HWND box);
HWND IsEMail(HWND window);
HWND OpenEMail();
// The client's Write Mail windows ("Write e-mail" in the Australian edition), front to back.
std::vector<HWND> WriteMailWindows();

// Glimra's pop-up "Glimr&a" in the AOL menu bar.
void AddMenuToAOL();
void RemoveMenuFromAOL();

// The mail composition window the e-mail fader last attached to.
HWND& LastMailWindow();

}  // namespace glimra
