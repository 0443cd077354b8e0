// Fixtures for the tests of the settings tree and scheme files: an empty
// "Software\Zol Software\Glimra" tree for every test and a scratch folder
// under the temp path.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace wine_test {

inline void DeleteGlimraTree() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zol Software\\Glimra"); }

inline void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only files go too
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

// The whole file as bytes; "<missing>" when it cannot be opened.
inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// File names in `folder` (not "." and "..").
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

class SettingsTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteGlimraTree();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    scratch_ = std::string(temp) + "glimra_settings_scratch";
    DeleteFolderTree(scratch_);
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
  }
  void TearDown() override {
    DeleteGlimraTree();
    DeleteFolderTree(scratch_);
  }
  // A folder below the scratch folder, created, with its closing "\".
  std::string Folder(const std::string& name) {
    const std::string path = scratch_ + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\";
  }

  std::string scratch_;  // no closing "\"
};

}  // namespace wine_test
