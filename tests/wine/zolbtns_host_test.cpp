// ZolBtns as a member's machine has it, in whichever bin folder this runs
// (the 64-bit one, or the 32-bit one that members get): the system
// directory's copy of zolbtns.ocx of that folder's width, unregistered and
// registered by the regsvr32 of that width, and both buttons of
// zolbtns_demo.exe, hosted by the ATL control container that Wine ships,
// clicked with real mouse input.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "MemberInput.h"
#include "WineTestSupport.h"
#include "ZolBtnsTestSupport.h"
#include "controls/ZolBtns.h"

namespace {

using namespace wine_test;

// Starting a 32-bit program runs Wine's loader under emulation: seconds, not milliseconds.
constexpr DWORD kProgramPatienceMs = 4 * kPatienceMs;

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

// The machine a program or library was built for (IMAGE_FILE_MACHINE_I386 or
// _AMD64), read from its PE header; 0 when the file is none.
WORD MachineOf(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  const auto readAt = [&](LONG offset, void* into, DWORD size) {
    DWORD read = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, into, size, &read, nullptr) && read == size;
  };
  IMAGE_DOS_HEADER dos{};
  DWORD signature = 0;
  IMAGE_FILE_HEADER header{};
  const bool pe = readAt(0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                  readAt(dos.e_lfanew, &signature, sizeof signature) && signature == IMAGE_NT_SIGNATURE &&
                  readAt(dos.e_lfanew + static_cast<LONG>(sizeof signature), &header, sizeof header);
  CloseHandle(file);
  return pe ? header.Machine : 0;
}

// Where the control and regsvr32 of one width live, and the registry view
// its classes go to.
struct Width {
  bool is32 = false;
  std::wstring system;  // the system directory of that width
  REGSAM view = 0;
  const wchar_t* typesPlatform = L"";  // the type library entry's key

  std::wstring Control() const { return system + L"\\zolbtns.ocx"; }
  std::wstring Regsvr32() const { return system + L"\\regsvr32.exe"; }
};

Width WidthOf(WORD machine) {
  Width width;
  wchar_t folder[MAX_PATH] = {};
  width.is32 = machine == IMAGE_FILE_MACHINE_I386;
  if (width.is32) {
    GetSystemWow64DirectoryW(folder, MAX_PATH);
  } else {
    GetSystemDirectoryW(folder, MAX_PATH);
  }
  width.system = folder;
  width.view = width.is32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  width.typesPlatform = width.is32 ? L"win32" : L"win64";
  return width;
}

// The view in which a program of the width finds a programmatic
// identifier's key. Both views share these keys (as on Windows 7 and later):
// a 32-bit regsvr32 writes them there and a 32-bit program reads them there,
// though Wine shows a 64-bit program none in the 32-bit view it asks for.
REGSAM ProgIdView(const std::wstring& progId, const Width& width) {
  return KeyExists(progId, width.view) ? width.view : KEY_WOW64_64KEY;
}

struct ButtonKind {
  const wchar_t* progId;
  const CLSID* clsid;
};
const ButtonKind kKinds[] = {{ZOLBTNS_PROGID_ZOLBUTTON, &CLSID_zolButton},
                             {ZOLBTNS_PROGID_FLATBUTTON, &CLSID_FlatButton}};

std::wstring ClassKey(const CLSID& clsid) { return L"CLSID\\" + GuidText(clsid); }
std::wstring TypesEntry(const Width& width) {
  return L"TypeLib\\" + GuidText(LIBID_ZolBttn) + L"\\1.0\\0\\" + width.typesPlatform;
}

// The file that serves the zolButton in the registry view of `width`, as
// registered.
std::wstring RegisteredServer(const Width& width) {
  return KeyValue(ClassKey(CLSID_zolButton) + L"\\InprocServer32", width.view);
}

// Runs the regsvr32 of `width` silently; its exit code, or 0xFFFFFFFF when it did not run or end.
DWORD RunRegsvr32(const Width& width, const std::wstring& arguments) {
  return wine_test::RunRegsvr32(width.Regsvr32(), arguments, kProgramPatienceMs);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// Leaves the control's registration of one width as it was found: whatever
// file served it is registered again, or, when none did, the classes go.
class RegistrationAsFound {
 public:
  explicit RegistrationAsFound(const Width& width) : width_(width), found_(RegisteredServer(width)) {}
  ~RegistrationAsFound() {
    const std::wstring now = RegisteredServer(width_);
    if (!found_.empty()) {
      RunRegsvr32(width_, Quoted(found_));
    } else if (!now.empty()) {
      RunRegsvr32(width_, L"/u " + Quoted(now));
    }
    EXPECT_EQ(Narrow(RegisteredServer(width_)), Narrow(found_)) << "the registration was not left as found";
  }
  RegistrationAsFound(const RegistrationAsFound&) = delete;
  RegistrationAsFound& operator=(const RegistrationAsFound&) = delete;

 private:
  const Width& width_;
  std::wstring found_;
};

class ZolBtnsHost : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = CurrentFolder();
    const WORD control = MachineOf(folder_ + L"\\zolbtns.ocx"), demo = MachineOf(folder_ + L"\\zolbtns_demo.exe");
    ASSERT_TRUE(control == IMAGE_FILE_MACHINE_I386 || control == IMAGE_FILE_MACHINE_AMD64)
        << "no zolbtns.ocx of a known width in " << Narrow(folder_) << " (machine " << control << ")";
    ASSERT_EQ(demo, control) << "zolbtns_demo.exe is not of the width of zolbtns.ocx in " << Narrow(folder_);
    width_ = WidthOf(control);
    ASSERT_FALSE(width_.system.empty());
    ASSERT_NE(MachineOf(width_.Control()), 0) << "no " << Narrow(width_.Control());
    ASSERT_EQ(MachineOf(width_.Control()), control) << Narrow(width_.Control()) << " is of another width";
  }

  std::wstring folder_;
  Width width_;
};

// A path as a program of the width sees it, in the test's 64-bit terms: a
// 32-bit program's system32 is the 32-bit system directory.
std::wstring AsSeenBy(const Width& width, const std::wstring& path) {
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (!width.is32 || length == 0 || path.size() <= length || path[length] != L'\\' ||
      CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), static_cast<int>(length), system,
                     static_cast<int>(length)) != CSTR_EQUAL)
    return path;
  return width.system + path.substr(length);
}

// `registered` names the file `expected` for a program of the width.
testing::AssertionResult Names(const Width& width, const std::wstring& registered, const std::wstring& expected) {
  const std::wstring seen = AsSeenBy(width, registered);
  if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, seen.c_str(), -1, expected.c_str(), -1) == CSTR_EQUAL)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "registered \"" << Narrow(registered) << "\", not " << Narrow(expected);
}

TEST_F(ZolBtnsHost, Regsvr32OfTheSystemCopyTakesAwayAndPutsBackBothButtonsInItsWidthsView) {
  SCOPED_TRACE(Narrow(width_.Control()));
  RegistrationAsFound restore(width_);

  ASSERT_EQ(RunRegsvr32(width_, L"/u " + Quoted(width_.Control())), 0u);
  for (const ButtonKind& kind : kKinds) {
    EXPECT_FALSE(KeyExists(ClassKey(*kind.clsid), width_.view)) << Narrow(ClassKey(*kind.clsid));
    EXPECT_FALSE(KeyExists(kind.progId, ProgIdView(kind.progId, width_))) << Narrow(kind.progId);
  }
  // oleaut32 has UnRegisterTypeLib here, so its own width's entry goes too.
  EXPECT_FALSE(KeyExists(TypesEntry(width_), width_.view)) << Narrow(TypesEntry(width_));

  ASSERT_EQ(RunRegsvr32(width_, Quoted(width_.Control())), 0u);
  for (const ButtonKind& kind : kKinds) {
    SCOPED_TRACE(Narrow(kind.progId));
    const std::wstring clsid = KeyValue(std::wstring(kind.progId) + L"\\CLSID", ProgIdView(kind.progId, width_));
    EXPECT_EQ(Narrow(clsid), Narrow(GuidText(*kind.clsid)));
    EXPECT_TRUE(Names(width_, KeyValue(L"CLSID\\" + clsid + L"\\InprocServer32", width_.view), width_.Control()));
  }
  EXPECT_TRUE(Names(width_, KeyValue(TypesEntry(width_), width_.view), width_.Control()));
}

// ---- The demo, as a member sees and clicks it ----

// zolbtns_demo.exe of the current folder while it runs; ended at the latest
// when the test is.
class Demo {
 public:
  Demo() {
    process_ = StartProgram(Narrow(CurrentFolder()) + "\\zolbtns_demo.exe", "");
    if (process_) processId_ = GetProcessId(process_);
  }
  ~Demo() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, kPatienceMs);
    }
    CloseHandle(process_);
  }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
  }
  bool Ended(DWORD timeoutMs) const { return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }

  // Its window, once there (or the demo ended).
  HWND WaitForWindow() const {
    return WaitUntilFound(
        [&]() -> HWND {
          for (HWND w = FindWindowA("ZolBtnsDemo", nullptr); w; w = FindWindowExA(nullptr, w, "ZolBtnsDemo", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId_) return w;
          }
          return nullptr;
        },
        kProgramPatienceMs);
  }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The window of the button captioned `caption` among those of `progId`:
// the container's host window is titled with the programmatic identifier,
// the control's own window with the caption.
HWND ButtonIn(HWND demo, const wchar_t* progId, const char* caption, HWND* host) {
  const std::string title = Narrow(progId);
  for (HWND h = FindWindowExA(demo, nullptr, nullptr, title.c_str()); h;
       h = FindWindowExA(demo, h, nullptr, title.c_str())) {
    if (HWND button = FindWindowExA(h, nullptr, nullptr, caption)) {
      *host = h;
      return button;
    }
  }
  return nullptr;
}

// The member clicks `button` and sees it counted in the demo's caption.
testing::AssertionResult ClickAndSee(HWND demo, HWND button, const std::string& counted) {
  if (!ClickOn(button, kProgramPatienceMs)) return testing::AssertionFailure() << "the button was not ready";
  const std::string expected = "ZolBtns sample - " + counted;
  if (!WaitUntil([&] { return WindowText(demo) == expected; }, kProgramPatienceMs))
    return testing::AssertionFailure() << "the caption reads \"" << WindowText(demo) << "\", not \"" << expected
                                       << "\"";
  return testing::AssertionSuccess();
}

TEST_F(ZolBtnsHost, TheDemoInWinesAtlContainerCountsEachRealClickOfBothButtonsOnce) {
  Demo demo;
  ASSERT_TRUE(demo.Running()) << "zolbtns_demo.exe did not start";
  const HWND window = demo.WaitForWindow();
  ASSERT_NE(window, nullptr) << "no demo window; the demo ended with " << demo.ExitCode();
  ASSERT_TRUE(WaitUntilReady(window, kProgramPatienceMs));
  EXPECT_EQ(WindowText(window), "ZolBtns sample");

  HWND zolHost = nullptr, flatHost = nullptr;
  const HWND zolButton = ButtonIn(window, ZOLBTNS_PROGID_ZOLBUTTON, "&Exit", &zolHost);
  const HWND flatButton = ButtonIn(window, ZOLBTNS_PROGID_FLATBUTTON, "Bold", &flatHost);
  ASSERT_NE(zolButton, nullptr) << "no zolButton \"Exit\" in an ATL host";
  ASSERT_NE(flatButton, nullptr) << "no FlatButton \"Bold\" in an ATL host";
  EXPECT_EQ(ClassOf(zolHost).rfind("AtlAxWin", 0), 0u) << ClassOf(zolHost);
  EXPECT_EQ(ClassOf(flatHost).rfind("AtlAxWin", 0), 0u) << ClassOf(flatHost);
  ASSERT_TRUE(WaitUntilPainted(window, kProgramPatienceMs));

  // Each kind twice, in turn: a click counted twice shows in its kind's
  // next count, since the demo takes the member's clicks in order.
  EXPECT_TRUE(ClickAndSee(window, zolButton, "zolButton clicked (1)"));
  EXPECT_TRUE(ClickAndSee(window, flatButton, "FlatButton clicked (1)"));
  EXPECT_TRUE(ClickAndSee(window, zolButton, "zolButton clicked (2)"));
  EXPECT_TRUE(ClickAndSee(window, flatButton, "FlatButton clicked (2)"));
  ASSERT_TRUE(Answers(window, kProgramPatienceMs));
  EXPECT_EQ(WindowText(window), "ZolBtns sample - FlatButton clicked (2)");

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(demo.Ended(kProgramPatienceMs)) << "the demo did not end when closed";
  EXPECT_EQ(demo.ExitCode(), 0u);
}

}  // namespace
