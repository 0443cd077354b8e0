#include "aol/modRichText.h"

#include <windows.h>

#include "aol/ClipboardSnapshot.h"
#include "runtime/ErrorReporting.h"
#include "runtime/FormWindow.h"
#include "runtime/OutsideLibraries.h"

namespace glimra {

namespace {

constexpr char kModule[] = "modRichText";

UINT AolMailFormat() { return RegisterClipboardFormatA("AOLMAIL"); }

}  // namespace

std::string GetRichText(FormWindow& owner) {
  std::string text;
  RunProcedure({kModule, "GetRichText"}, [&] {
    if (!OpenClipboardPatiently(owner.hWnd())) return;
    if (HANDLE block = GetClipboardData(AolMailFormat())) {
      if (void* address = GlobalLock(block)) {
        text = LoadMemoryLibrary()->dwGetStringFromLPSTR(reinterpret_cast<std::uintptr_t>(address));
        GlobalUnlock(block);
      }
    }
    CloseClipboard();
  });
  return text;
}

bool PutRichText(FormWindow& owner, const std::string& text) {
  bool put = false;
  RunProcedure({kModule, "PutRichText"}, [&] {
    // Movable and zero-filled: the byte after the text ends the string.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (!block) RaiseError(kErrOutOfMemory);
    void* address = GlobalLock(block);
    if (!text.empty())
      LoadMemoryLibrary()->dwCopyData(reinterpret_cast<std::uintptr_t>(text.data()),
                                      reinterpret_cast<std::uintptr_t>(address),
                                      static_cast<std::uint32_t>(text.size()));
    GlobalUnlock(block);
    if (!OpenClipboardPatiently(owner.hWnd())) {
      GlobalFree(block);
      return;
    }
    EmptyClipboard();
    // From here on the block belongs to the clipboard.
    put = SetClipboardData(AolMailFormat(), block) != nullptr;
    if (!put) GlobalFree(block);
    CloseClipboard();
  });
  return put;
}

}  // namespace glimra
