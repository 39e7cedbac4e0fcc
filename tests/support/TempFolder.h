#pragma once
// A fresh folder under the Windows temp path for one test's files, removed
// with everything in it when the object goes.

#include <string>

namespace testsupport {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Full path of the folder, without trailing backslash.
  const std::string& Path() const { return path_; }
  // Full path of `relative` inside the folder.
  std::string PathOf(const std::string& relative) const;
  // Creates a file (and its parent folders); returns its full path.
  std::string MakeFile(const std::string& relative, const std::string& content = "x");
  // Creates a folder (and its parents); returns its full path.
  std::string MakeDir(const std::string& relative);

 private:
  std::string path_;
};

// Removes a folder tree; false when something stayed.
bool RemoveTree(const std::string& path);

}  // namespace testsupport
