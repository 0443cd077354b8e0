// A copy of everything the clipboard holds, so that what the member had on
// it can be put back after Glimra has used the clipboard to move mail text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace glimra {

class ClipboardSnapshot {
 public:
  // Copies every format the clipboard offers now: memory blocks (text,
  // "AOLMAIL", device-independent bitmaps, registered formats), bitmaps and
  // enhanced metafiles. Formats that hold other handles cannot be copied and
  // are left out. An unavailable clipboard gives an empty snapshot.
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

 private:
  struct Kept {
    UINT format = 0;
    std::string bytes;                // memory formats
    HBITMAP bitmap = nullptr;         // CF_BITMAP
    HENHMETAFILE metafile = nullptr;  // CF_ENHMETAFILE
  };
  void Release();
  std::vector<Kept> kept_;
};

}  // namespace glimra
