#include "MailWindow.h"

#include <commdlg.h>

#include <vector>

#include "Controls.h"
#include "EventLog.h"

namespace waol {

namespace {

enum MailId {
  kToLabel = 201,
  kTo,
  kCcLabel,
  kCc,
  kSubjectLabel,
  kSubject,
  kFont,
  kReceipt,
  kBody,
  kFirstIcon = 220,  // the icons follow in order
  kAttachedLabel = 260,
};

enum AttachmentsId { kAttach = 301, kDetach, kOk, kCancel, kFiles };

// The icons of a mail window in z-order. The 13th is Attachments for
// version 4; version 5 has one more formatting icon before it.
std::vector<const char*> MailIcons(int version) {
  std::vector<const char*> icons{"Size",  "B",     "I",    "U",   "Left", "Ctr",
                                 "Right", "Color", "Back", "Pic", "Link", "Spell"};
  if (version >= 5) icons.push_back("Sig");
  icons.insert(icons.end(), {"Attachments", "Send Later", "Send Now", "Address Book"});
  return icons;
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : separator) + part;
  return joined;
}

HWND OpenAttachments(HWND mail);

class Mail : public Document {
 public:
  const char* Kind() const override { return "mail"; }

  void Build(HWND self) override {
    CreateControl("_AOL_STATIC", "Send To:", 0, self, kToLabel);
    CreateControl("_AOL_EDIT", "", WS_BORDER | ES_AUTOHSCROLL, self, kTo);
    CreateControl("_AOL_STATIC", "Copy To:", 0, self, kCcLabel);
    CreateControl("_AOL_EDIT", "", WS_BORDER | ES_AUTOHSCROLL, self, kCc);
    CreateControl("_AOL_STATIC", "Subject:", 0, self, kSubjectLabel);
    CreateControl("_AOL_EDIT", "", WS_BORDER | ES_AUTOHSCROLL, self, kSubject);
    HWND font = CreateControl("_AOL_FontCombo", "", CBS_DROPDOWNLIST | WS_VSCROLL, self, kFont);
    CreateControl("_AOL_Checkbox", "Request \"Return Receipt\" from AOL members", BS_AUTOCHECKBOX, self, kReceipt);
    CreateRichCntl(self, kBody, RichRole::MailBody);
    const auto icons = MailIcons(TheClient().config.version);
    for (size_t i = 0; i < icons.size(); ++i) CreateIcon(self, kFirstIcon + static_cast<int>(i), icons[i]);
    iconCount_ = static_cast<int>(icons.size());
    CreateControl("_AOL_STATIC", "", 0, self, kAttachedLabel);
    for (const char* face : {"Arial", "Courier New", "Times New Roman"})
      SendMessageA(font, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
    SendMessageA(font, CB_SETCURSEL, 0, 0);
    for (HWND child = GetWindow(self, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }

  void Layout(int width, int height) override {
    const int gap = 6, label = 60, row = 22, actionWidth = 96;
    const int fieldWidth = width - label - actionWidth - 4 * gap;
    for (int i = 0; i < 3; ++i) {
      Place(window, kToLabel + 2 * i, gap, gap + i * (row + gap) + 3, label, row);
      Place(window, kTo + 2 * i, 2 * gap + label, gap + i * (row + gap), fieldWidth, row);
    }
    int y = gap + 3 * (row + gap);
    Place(window, kFont, gap, y, 130, 200);
    const int formatting = iconCount_ - 4;
    for (int i = 0; i < formatting; ++i) Place(window, kFirstIcon + i, 2 * gap + 130 + i * 38, y, 36, row);
    y += row + gap;
    const int bodyHeight = height - y - 2 * row - 3 * gap;
    Place(window, kBody, gap, y, width - actionWidth - 3 * gap, bodyHeight);
    for (int i = 0; i < 4; ++i)
      Place(window, kFirstIcon + formatting + i, width - actionWidth - gap, y + i * (row + 2 * gap), actionWidth,
            row + gap);
    Place(window, kAttachedLabel, gap, y + bodyHeight + gap, width - 2 * gap, row);
    Place(window, kReceipt, gap, y + bodyHeight + row + 2 * gap, width - 2 * gap, row);
  }

  void Command(WORD id, WORD code, HWND) override {
    if (code != kIconClicked || id < kFirstIcon || id >= kFirstIcon + iconCount_) return;
    const std::string name = WindowString(GetDlgItem(window, id));
    if (name == "Attachments")
      OpenAttachments(window);
    else if (name == "Send Now")
      Finish("sent");
    else if (name == "Send Later")
      Finish("later");
  }

  void Closing() override {
    if (!finished_) Record("closed");
  }

  void AddAttachments(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
      attachments_.push_back(file);
      LogEvent({"attach", WindowString(window), file});
    }
    const std::string text = attachments_.empty() ? "" : "Attached: " + Join(attachments_, "; ");
    SetWindowTextA(GetDlgItem(window, kAttachedLabel), text.c_str());
  }

 private:
  void Record(const char* status) {
    LogEvent({"mail", status, WindowString(window), WindowString(GetDlgItem(window, kTo)),
              WindowString(GetDlgItem(window, kSubject)), RichMarkup(GetDlgItem(window, kBody)),
              Join(attachments_, "|")});
  }

  // The window goes once the current message has returned.
  void Finish(const char* status) {
    Record(status);
    finished_ = true;
    PostMessageA(window, WM_CLOSE, 0, 0);
  }

  int iconCount_ = 0;
  bool finished_ = false;
  std::vector<std::string> attachments_;
};

Mail* MailOf(HWND window) {
  auto document = reinterpret_cast<Document*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return document && std::string(document->Kind()) == "mail" ? static_cast<Mail*>(document) : nullptr;
}

// ---- the Attach file window: the system's own open-file dialog ----

constexpr UINT kCloseLater = WM_APP + 1;
constexpr UINT kChooseFile = WM_APP + 2;

// AOL's Attach File window on Windows 98 has the file name in an "Edit"
// directly on the dialog and an "&Open" button. Today's explorer dialog wraps
// that Edit in a ComboBoxEx, so the client shows the system dialog in its
// classic form, where the Edit sits on the dialog, and gives the button its
// access key.
UINT_PTR CALLBACK AttachFileHook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextA(dialog, IDOK, "&Open");
    return TRUE;
  }
  return FALSE;
}

// The dialog is modal: it runs once the click that asked for it has returned,
// so that whoever clicked can find it and fill it in.
void ChooseAttachFile(HWND attachments) {
  const Edition edition = TheClient().config.edition;
  const char* caption = edition == Edition::UK || edition == Edition::Canada ? "Open" : "Attach";
  char path[MAX_PATH] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = attachments;
  dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = caption;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
  dialog.lpfnHook = &AttachFileHook;
  const bool chosen = GetOpenFileNameA(&dialog) != FALSE;
  LogEvent({"attachdialog", caption, chosen ? path : ""});
  if (chosen && IsWindow(attachments))
    SendMessageA(GetDlgItem(attachments, kFiles), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
}

// ---- the Attachments window ----

LRESULT CALLBACK AttachmentsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      auto create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      const char* icons[] = {"Attach", "Detach", "OK", "Cancel"};
      for (int i = 0; i < 4; ++i) MoveWindow(CreateIcon(window, kAttach + i, icons[i]), 10 + i * 90, 170, 80, 26, 0);
      HWND files = CreateControl("_AOL_LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, window, kFiles);
      SendMessageA(files, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      MoveWindow(files, 10, 10, 350, 150, FALSE);
      return 0;
    }
    case WM_COMMAND: {
      HWND mail = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
      HWND files = GetDlgItem(window, kFiles);
      switch (LOWORD(wParam)) {
        case kAttach: PostMessageA(window, kChooseFile, 0, 0); break;
        case kDetach: {
          const LRESULT selected = SendMessageA(files, LB_GETCURSEL, 0, 0);
          if (selected != LB_ERR) SendMessageA(files, LB_DELETESTRING, selected, 0);
          break;
        }
        case kOk: {
          std::vector<std::string> chosen;
          const LRESULT count = SendMessageA(files, LB_GETCOUNT, 0, 0);
          for (LRESULT i = 0; i < count; ++i) {
            std::string file(static_cast<size_t>(SendMessageA(files, LB_GETTEXTLEN, i, 0)) + 1, '\0');
            file.resize(static_cast<size_t>(SendMessageA(files, LB_GETTEXT, i, reinterpret_cast<LPARAM>(file.data()))));
            chosen.push_back(file);
          }
          if (Mail* target = IsWindow(mail) ? MailOf(mail) : nullptr) target->AddAttachments(chosen);
          PostMessageA(window, kCloseLater, 0, 0);
          break;
        }
        case kCancel: PostMessageA(window, kCloseLater, 0, 0); break;
      }
      return 0;
    }
    case kChooseFile: ChooseAttachFile(window); return 0;
    case kCloseLater: DestroyWindow(window); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND OpenAttachments(HWND mail) {
  return CreateWindowExA(WS_EX_DLGMODALFRAME, "_AOL_MODAL", "Attachments", WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 160,
                         380, 240, TheClient().frame, nullptr, TheClient().instance, mail);
}

// ---- Global Message Board Preferences ----

class BoardPreferences : public Document {
 public:
  const char* Kind() const override { return "prefs"; }
  void Build(HWND self) override {
    CreateControl("_AOL_STATIC", "Signature:", 0, self, 401);
    CreateRichCntl(self, 402, RichRole::MailBody);
    CreateControl("_AOL_Checkbox", "Use signature", BS_AUTOCHECKBOX, self, 403);
    CreateIcon(self, 404, "Save");
    for (HWND child = GetWindow(self, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  void Layout(int width, int height) override {
    Place(window, 401, 8, 8, 200, 18);
    Place(window, 402, 8, 30, width - 16, height - 100);
    Place(window, 403, 8, height - 62, 200, 22);
    Place(window, 404, width - 90, height - 36, 80, 26);
  }
  void Command(WORD id, WORD code, HWND) override {
    if (id == 404 && code == kIconClicked) PostMessageA(window, WM_CLOSE, 0, 0);
  }
};

}  // namespace

std::string WriteMailCaption() {
  return TheClient().config.edition == Edition::Australia ? "Write e-mail" : "Write Mail";
}

HWND OpenMail(const std::string& caption) { return OpenDocument(new Mail, caption, 640, 460); }

HWND OpenBoardPreferences() { return OpenDocument(new BoardPreferences, "Global Message Board Preferences", 460, 300); }

bool RegisterMailClasses(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &AttachmentsProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = "_AOL_MODAL";
  return RegisterClassExA(&windowClass) != 0;
}

}  // namespace waol
