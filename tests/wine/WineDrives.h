// The drive letters Wine shows, changed for one test through Wine's mount
// manager, the way Wine's own configuration program changes them: a letter
// becomes a link to a folder, with a type that GetDriveTypeA then reports.
// Every letter changed is put back when the object goes.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

namespace wine_test {

class WineDrives {
 public:
  WineDrives() = default;
  WineDrives(const WineDrives&) = delete;
  WineDrives& operator=(const WineDrives&) = delete;
  ~WineDrives() {
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved)
      Define(saved->letter, saved->target, saved->type);
  }

  // `letter` shows the folder `windowsFolder` as a drive of `type`
  // (DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_CDROM).
  bool Map(char letter, const std::string& windowsFolder, UINT type) {
    const std::string target = UnixPathOf(windowsFolder);
    return !target.empty() && Change(letter, target, type);
  }

  // `letter` keeps its folder and takes `type`.
  bool Retype(char letter, UINT type) {
    std::string target;
    UINT current = 0;
    return Query(letter, target, current) && Change(letter, target, type);
  }

  // What the mount manager holds for `letter`: its folder and type.
  static bool Query(char letter, std::string& target, UINT& type) {
    const HANDLE manager = OpenManager();
    if (manager == INVALID_HANDLE_VALUE) return false;
    alignas(8) char buffer[4096] = {};
    auto* drive = reinterpret_cast<UnixDrive*>(buffer);
    drive->size = sizeof(UnixDrive);
    drive->letter = static_cast<WCHAR>(letter | 0x20);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kQueryUnixDrive, drive, sizeof(UnixDrive), buffer, sizeof buffer - 1,
                                    &returned, nullptr);
    CloseHandle(manager);
    if (!ok || !drive->mount_point_offset || drive->mount_point_offset >= sizeof buffer) return false;
    target = buffer + drive->mount_point_offset;
    type = drive->type;
    return true;
  }

 private:
  // The mount manager's drive record as this Wine defines it.
  struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
  };
  static constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
  static constexpr DWORD kQueryUnixDrive = CTL_CODE('m', 33, METHOD_BUFFERED, FILE_READ_ACCESS);

  struct Saved {
    char letter;
    std::string target;  // empty: the letter did not exist
    UINT type;
  };

  static HANDLE OpenManager() {
    return CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
  }

  static std::string UnixPathOf(const std::string& windowsFolder) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return "";
    std::wstring wide(windowsFolder.begin(), windowsFolder.end());
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return "";
    std::string path = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
  }

  // An empty target removes the letter.
  static bool Define(char letter, const std::string& target, UINT type) {
    const HANDLE manager = OpenManager();
    if (manager == INVALID_HANDLE_VALUE) return false;
    std::vector<char> buffer(sizeof(UnixDrive) + target.size() + 1, '\0');
    auto* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->letter = static_cast<WCHAR>(letter | 0x20);
    drive->type = target.empty() ? DRIVE_NO_ROOT_DIR : type;
    if (!target.empty()) {
      drive->mount_point_offset = sizeof(UnixDrive);
      target.copy(buffer.data() + sizeof(UnixDrive), target.size());
    }
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                                    nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
  }

  bool Change(char letter, const std::string& target, UINT type) {
    Saved saved{letter, "", DRIVE_NO_ROOT_DIR};
    Query(letter, saved.target, saved.type);
    if (!Define(letter, target, type)) return false;
    saved_.push_back(saved);
    return true;
  }

  std::vector<Saved> saved_;
};

}  // namespace wine_test
