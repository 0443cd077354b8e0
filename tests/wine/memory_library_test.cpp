// dwspy36.dll through Glimra's MemoryLibrary: a module path out of another
// process and raw memory moved the way the clipboard code moves it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "TargetProgram.h"
#include "runtime/OutsideLibraries.h"

namespace glimra {
namespace {

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

TEST(MemoryLibraryWin, ModuleFileNameOfAnotherProcessIsItsFullPath) {
  wine_test::TargetProgram target;
  ASSERT_TRUE(target.Started());
  auto library = LoadMemoryLibrary();
  const std::string path = library->dwXGetModuleFileName(target.ProcessId(), "SBC_TARGET.EXE");
  EXPECT_TRUE(SameText(path, target.ExePath())) << path << " vs " << target.ExePath();

  const std::string kernel = library->dwXGetModuleFileName(target.ProcessId(), "kernel32.dll");
  ASSERT_GT(kernel.size(), 13u);
  EXPECT_TRUE(SameText(kernel.substr(kernel.size() - 13), "\\kernel32.dll")) << kernel;

  EXPECT_EQ(library->dwXGetModuleFileName(target.ProcessId(), "WAOL.EXE"), "");
  EXPECT_EQ(library->dwXGetModuleFileName(target.ProcessId(), ""), "");
}

TEST(MemoryLibraryWin, CopiesBytesAndReadsStringsThroughGlobalMemory) {
  auto library = LoadMemoryLibrary();
  const std::string text = std::string(1000, 'f') + "<FONT COLOR=#FF0000>end";  // longer than any first guess
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
  ASSERT_NE(block, nullptr);
  void* address = GlobalLock(block);
  library->dwCopyData(reinterpret_cast<std::uintptr_t>(text.data()), reinterpret_cast<std::uintptr_t>(address),
                      static_cast<std::uint32_t>(text.size()));
  EXPECT_EQ(std::memcmp(address, text.data(), text.size()), 0);
  EXPECT_EQ(library->dwGetStringFromLPSTR(reinterpret_cast<std::uintptr_t>(address)), text);
  GlobalUnlock(block);
  GlobalFree(block);

  EXPECT_EQ(library->dwGetStringFromLPSTR(0), "");
  char empty[1] = {'\0'};
  EXPECT_EQ(library->dwGetStringFromLPSTR(reinterpret_cast<std::uintptr_t>(empty)), "");
}

}  // namespace
}  // namespace glimra
