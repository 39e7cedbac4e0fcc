#pragma once
// A complete picture of the sandboxed registry — every key and every value
// with its type and bytes, through the Unicode calls so no name or size is
// lost — to prove that a run changed exactly what it should.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// Key paths ("K") and values ("V<type>:" + bytes), by path text.
using RegistryPicture = std::map<std::wstring, std::string>;

RegistryPicture PictureOfSandbox();
// The same for one key with its whole subtree; empty when it does not open.
RegistryPicture PictureOfKey(HKEY root, const std::wstring& path);

// Human-readable differences (at most `limit`), empty when equal.
std::vector<std::string> Differences(const RegistryPicture& before, const RegistryPicture& after,
                                     size_t limit = 20);

}  // namespace testsupport
