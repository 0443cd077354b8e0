// The stand-in client's program-wide state and its document windows: every
// "AOL Child" window is backed by a Document that builds and lays out its
// children and answers their commands.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Config.h"

namespace waol {

class Document {
 public:
  virtual ~Document() = default;
  virtual const char* Kind() const = 0;
  virtual void Build(HWND self) = 0;
  virtual void Layout(int width, int height) = 0;
  virtual void Command(WORD /*id*/, WORD /*code*/, HWND /*from*/) {}
  virtual void Closing() {}
  HWND window = nullptr;
};

struct Client {
  ClientConfig config;
  HINSTANCE instance = nullptr;
  HWND frame = nullptr;
  HWND mdiClient = nullptr;
  HWND toolbar = nullptr;
  bool signedOn = false;
};
Client& TheClient();

// Opens an "AOL Child" document window in the MDI client, in front.
HWND OpenDocument(Document* document, const std::string& caption, int width, int height);
// The open document window of `kind` captioned `caption` ("" for any caption).
HWND FindDocument(const char* kind, const std::string& caption = "");

bool RegisterDocumentClass(HINSTANCE instance);

// Places child `id` of `parent`.
void Place(HWND parent, int id, int x, int y, int width, int height);

}  // namespace waol
