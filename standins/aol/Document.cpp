#include "Client.h"
#include "Controls.h"

namespace waol {

namespace {

Document* DocumentOf(HWND window) { return reinterpret_cast<Document*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Document* document = DocumentOf(window);
  switch (message) {
    case WM_CREATE: {
      auto create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      auto mdi = reinterpret_cast<MDICREATESTRUCTA*>(create->lpCreateParams);
      document = reinterpret_cast<Document*>(mdi->lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(document));
      document->window = window;
      document->Build(window);
      break;
    }
    case WM_SIZE:
      if (document && wParam != SIZE_MINIMIZED) document->Layout(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_COMMAND:
      if (document) {
        document->Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
      }
      break;
    case WM_CLOSE:
      if (document) document->Closing();
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete document;
      break;
  }
  return DefMDIChildProcA(window, message, wParam, lParam);
}

}  // namespace

Client& TheClient() {
  static Client client;
  return client;
}

bool RegisterDocumentClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ChildProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = "AOL Child";
  return RegisterClassExA(&windowClass) != 0;
}

HWND OpenDocument(Document* document, const std::string& caption, int width, int height) {
  MDICREATESTRUCTA create{};
  create.szClass = "AOL Child";
  create.szTitle = caption.c_str();
  create.hOwner = TheClient().instance;
  create.x = CW_USEDEFAULT;
  create.y = CW_USEDEFAULT;
  create.cx = width;
  create.cy = height;
  create.style = WS_VISIBLE;
  create.lParam = reinterpret_cast<LPARAM>(document);
  HWND window =
      reinterpret_cast<HWND>(SendMessageA(TheClient().mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  if (!window) return nullptr;  // the window's destruction deleted the document
  // A new document window comes to the front, where Glimra looks first.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SendMessageA(TheClient().mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
  return window;
}

HWND FindDocument(const char* kind, const std::string& caption) {
  for (HWND child = GetWindow(TheClient().mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    Document* document = DocumentOf(child);
    if (!document || std::string(document->Kind()) != kind) continue;
    if (caption.empty() || WindowString(child) == caption) return child;
  }
  return nullptr;
}

void Place(HWND parent, int id, int x, int y, int width, int height) {
  if (HWND child = GetDlgItem(parent, id)) MoveWindow(child, x, y, width, height, TRUE);
}

}  // namespace waol
