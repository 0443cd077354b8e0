#include "shell/InputBox.h"

#include "aol/modWin32API.h"
#include "runtime/FormWindow.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr UINT kText = 1, kOk = 2, kCancel = 3, kPrompt = 4;

class frmInput : public FormWindow {
 public:
  frmInput(std::string prompt, std::string title, std::string text)
      : FormWindow("frmInput", 5400, 1800),
        prompt_(std::move(prompt)),
        title_(std::move(title)),
        text_(std::move(text)) {}
  std::string answer;

 protected:
  void OnLoad() override {
    SetCaption(title_);
    AddChild("STATIC", prompt_, WS_VISIBLE, kPrompt, {120, 120, 3840, 900});
    HWND edit = AddChild("EDIT", text_, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, kText, {120, 1200, 5160, 315},
                         WS_EX_CLIENTEDGE);
    for (HWND child : {edit, GetDlgItem(hWnd(), kPrompt)})
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    HostedControl& ok = AddZolButton(kOk, {4080, 120, 1200, 330}, "OK");
    HostedControl& cancel = AddZolButton(kCancel, {4080, 540, 1200, 330}, "Cancel");
    for (HostedControl* button : {&ok, &cancel}) {
      SetButtonColor(*button, kFalse);
      ShowWindow(button->Window(), SW_SHOW);
    }
    PrepareForm(*this);
    SendMessageA(edit, EM_SETSEL, 0, -1);
  }
  void OnCommand(UINT id, UINT code, HWND) override {
    if (code != BN_CLICKED || (id != kOk && id != kCancel)) return;
    if (id == kOk) {
      char text[1024] = {};
      GetDlgItemTextA(hWnd(), kText, text, sizeof text);
      answer = text;
    }
    Hide();
  }
  bool OnClose() override {
    Hide();
    return false;
  }

 private:
  std::string prompt_, title_, text_;
};

}  // namespace

std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
  frmInput box(prompt, title, defaultText);
  box.Load();
  SetFocus(GetDlgItem(box.hWnd(), kText));
  box.Show(true);
  std::string answer = box.answer;
  box.Unload();
  return answer;
}

}  // namespace glimra
