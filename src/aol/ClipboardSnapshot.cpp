#include "aol/ClipboardSnapshot.h"

#include <cstring>
#include <utility>

namespace glimra {

namespace {

enum class FormatKind { Memory, Bitmap, EnhMetafile, Uncopyable };

// What a format's clipboard handle is. The display formats, palettes, old
// metafiles and the private and GDI ranges hold handles a copy of the bytes
// would leave dangling.
FormatKind KindOf(UINT format) {
  switch (format) {
    case CF_BITMAP: return FormatKind::Bitmap;
    case CF_ENHMETAFILE: return FormatKind::EnhMetafile;
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE: return FormatKind::Uncopyable;
    default: break;
  }
  if (format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST) return FormatKind::Uncopyable;
  return FormatKind::Memory;
}

bool CopyMemoryFormat(HANDLE data, std::string& bytes) {
  void* address = GlobalLock(data);
  if (!address) return false;
  bytes.assign(static_cast<const char*>(address), GlobalSize(data));
  GlobalUnlock(data);
  return true;
}

HGLOBAL BlockOf(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  if (!block) return nullptr;
  if (void* address = GlobalLock(block)) {
    if (!bytes.empty()) std::memcpy(address, bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  return block;
}

void PutBack(UINT format, HANDLE data) {
  if (data && !SetClipboardData(format, data)) {
    if (format == CF_BITMAP)
      DeleteObject(data);
    else if (format == CF_ENHMETAFILE)
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
    else
      GlobalFree(data);
  }
}

}  // namespace

bool OpenClipboardPatiently(HWND owner) {
  if (!IsWindow(owner)) return false;
  const DWORD start = GetTickCount();
  while (!OpenClipboard(owner)) {
    if (GetTickCount() - start >= 1000) return false;
    Sleep(20);
  }
  return true;
}

ClipboardSnapshot ClipboardSnapshot::Take(HWND owner) {
  ClipboardSnapshot snapshot;
  if (!OpenClipboardPatiently(owner)) return snapshot;
  snapshot.taken_ = true;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    const FormatKind kind = KindOf(format);
    if (kind == FormatKind::Uncopyable) continue;
    HANDLE data = GetClipboardData(format);
    if (!data) continue;
    Kept kept;
    kept.format = format;
    bool copied = false;
    if (kind == FormatKind::Bitmap) {
      kept.bitmap = static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, 0));
      copied = kept.bitmap != nullptr;
    } else if (kind == FormatKind::EnhMetafile) {
      kept.metafile = CopyEnhMetaFileA(static_cast<HENHMETAFILE>(data), nullptr);
      copied = kept.metafile != nullptr;
    } else {
      copied = CopyMemoryFormat(data, kept.bytes);
    }
    if (copied) snapshot.kept_.push_back(std::move(kept));
  }
  CloseClipboard();
  return snapshot;
}

bool ClipboardSnapshot::Restore(HWND owner) const {
  if (!taken_ || !OpenClipboardPatiently(owner)) return false;
  EmptyClipboard();
  for (const Kept& kept : kept_) {
    if (kept.bitmap)
      PutBack(kept.format, CopyImage(kept.bitmap, IMAGE_BITMAP, 0, 0, 0));
    else if (kept.metafile)
      PutBack(kept.format, CopyEnhMetaFileA(kept.metafile, nullptr));
    else
      PutBack(kept.format, BlockOf(kept.bytes));
  }
  CloseClipboard();
  return true;
}

void ClipboardSnapshot::Release() {
  for (Kept& kept : kept_) {
    if (kept.bitmap) DeleteObject(kept.bitmap);
    if (kept.metafile) DeleteEnhMetaFile(kept.metafile);
  }
  kept_.clear();
}

ClipboardSnapshot::~ClipboardSnapshot() { Release(); }

ClipboardSnapshot::ClipboardSnapshot(ClipboardSnapshot&& other) noexcept
    : kept_(std::move(other.kept_)), taken_(other.taken_) {
  other.kept_.clear();
  other.taken_ = false;
}

ClipboardSnapshot& ClipboardSnapshot::operator=(ClipboardSnapshot&& other) noexcept {
  if (this != &other) {
    Release();
    kept_ = std::move(other.kept_);
    taken_ = other.taken_;
    other.kept_.clear();
    other.taken_ = false;
  }
  return *this;
}

}  // namespace glimra
