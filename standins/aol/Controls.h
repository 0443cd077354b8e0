// AOL's own control classes. Most are the system controls under AOL's class
// names; "_AOL_ICON" is a picture button whose caption may be empty (then it
// draws its label) and that reports a click on the button's release;
// "RICHCNTL" is a rich edit control that also obeys AOL's edit command ids.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Markup.h"

namespace waol {

// Notification codes of WM_COMMAND sent by the controls to their parent.
constexpr WORD kIconClicked = BN_CLICKED;
constexpr WORD kEnterPressed = 0x7E01;  // the chat input box got the Enter character

// AOL's rich-text command ids (WM_COMMAND with lParam 0).
enum RichCommandId : WORD {
  kCmdUndo = 20000,
  kCmdCut = 20001,
  kCmdCopy = 20002,
  kCmdPaste = 20003,
  kCmdClear = 20004,
  kCmdSelectAll = 20005
};

enum class RichRole { Transcript, ChatInput, MailBody };

// Sent to a rich control, this registered message logs its content as markup
// ("markup" event): how a test sees the colours a member sees.
constexpr char kLogMarkupMessage[] = "WaolLogMarkup";

bool RegisterControlClasses(HINSTANCE instance);

HWND CreateControl(const char* className, const char* caption, DWORD style, HWND parent, int id);
HWND CreateIcon(HWND parent, int id, const char* caption, const char* label = nullptr);
HWND CreateRichCntl(HWND parent, int id, RichRole role);

// Appends "<name>: " and the line's markup, rendered, as a new transcript line.
void AppendChatLine(HWND transcript, const std::string& name, const std::string& markup, COLORREF nameColour);
// Replaces the selection of a rich control with rendered runs.
void InsertRuns(HWND rich, const std::vector<Run>& runs);
// The control's content written back as AOL markup.
std::string RichMarkup(HWND rich);

// Called when a mail body pastes "AOLMAIL" markup.
void SetPasteObserver(std::function<void(HWND body, const std::string& markup)> observer);

std::string WindowString(HWND window);

}  // namespace waol
