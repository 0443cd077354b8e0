// A copy of everything the clipboard holds, so that what the member had on
// it can be put back after Glimra has used the clipboard to move mail text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace glimra {

// Opens the clipboard for `owner`, trying again for a second while another
// program holds it open (clipboard managers do on every change). False when
// it stays locked, or when there is no owner window to open it for.
bool OpenClipboardPatiently(HWND owner);

class ClipboardSnapshot {
 public:
  // Copies every format the clipboard offers now: memory blocks (text,
  // "AOLMAIL", device-independent bitmaps, registered formats), bitmaps and
  // enhanced metafiles. Formats that hold other handles cannot be copied and
  // are left out. An unavailable clipboard gives a snapshot not Taken(),
  // whose Restore leaves the clipboard alone.
  static ClipboardSnapshot Take(HWND owner);

  ClipboardSnapshot() = default;
  ~ClipboardSnapshot();
  ClipboardSnapshot(ClipboardSnapshot&& other) noexcept;
  ClipboardSnapshot& operator=(ClipboardSnapshot&& other) noexcept;
  ClipboardSnapshot(const ClipboardSnapshot&) = delete;
  ClipboardSnapshot& operator=(const ClipboardSnapshot&) = delete;

  // Empties the clipboard and puts every kept format back; true when the
  // clipboard could be opened. May be called more than once.
  bool Restore(HWND owner) const;

  std::size_t FormatCount() const { return kept_.size(); }
  bool Taken() const { return taken_; }

 private:
  struct Kept {
    UINT format = 0;
    std::string bytes;                // memory formats
    HBITMAP bitmap = nullptr;         // CF_BITMAP
    HENHMETAFILE metafile = nullptr;  // CF_ENHMETAFILE
  };
  void Release();
  std::vector<Kept> kept_;
  bool taken_ = false;
};

}  // namespace glimra
