#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace testsupport {

namespace {

void MakeParents(const std::string& path) {
  for (size_t i = 3; i < path.size(); ++i) {
    if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  }
}

}  // namespace

bool RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  return RemoveDirectoryA(path.c_str()) != FALSE;
}

TempFolder::TempFolder() {
  static int counter = 0;
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  std::string base(temp, n);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  char name[64];
  wsprintfA(name, "\\vh%lu_%lu_%d", GetCurrentProcessId(), GetTickCount(), ++counter);
  path_ = base + name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::PathOf(const std::string& relative) const { return path_ + "\\" + relative; }

std::string TempFolder::MakeFile(const std::string& relative, const std::string& content) {
  std::string full = PathOf(relative);
  MakeParents(full);
  HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, file) << full;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
  }
  return full;
}

std::string TempFolder::MakeDir(const std::string& relative) {
  std::string full = PathOf(relative);
  MakeParents(full + "\\");
  return full;
}

}  // namespace testsupport
