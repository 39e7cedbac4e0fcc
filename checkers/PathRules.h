#pragma once
// Whether a file or folder named by a registry entry exists. The registry
// text may be a native or \SystemRoot\ path, hold environment variables,
// quotes and arguments, lack its extension or name a file on the PATH.
//
// Variables are expanded as the program that reads the entry would expand
// them. On 64-bit Windows "%ProgramFiles%" and "%CommonProgramFiles%" name
// the native folders for a 64-bit program and the "(x86)" ones for a 32-bit
// program, whatever this process's own bitness: an entry found in a key's
// native view is expanded as a 64-bit program would, one found in its 32-bit
// twin as a 32-bit program would, and an entry of a key both kinds of
// program read (HKCU Run, file type commands, shortcuts) exists when either
// expansion names an existing file. The view is the one the scan context
// holds (set by the innermost CPathViewScope); without one, keys count as
// shared. Every check answers "found" at once while the context's cancel is
// pending, and probes through the context's memory of answers.

#include <string>

#include "engine/RegView.h"
#include "engine/ScanContext.h"

namespace RegCheck {

enum PathFlags : unsigned {
  PATH_ACCEPT_DIR = 0x001,   // an existing folder counts as found
  PATH_ACCEPT_FILE = 0x002,  // an existing non-folder counts as found
  PATH_SEARCH_ENV = 0x004,   // also look for the name in every PATH folder
  PATH_TRY_WINDIR = 0x008,   // also try %SYSTEMROOT%\name
  PATH_TRY_SYSDIRS = 0x010,  // also try System32\name, then SysWOW64\name
  PATH_TRY_EXE = 0x020,      // try the name with ".exe" appended
  PATH_TRY_COM = 0x040,      // try the name with ".com" appended (before ".exe")
  PATH_STRIP_ARGS = 0x080,   // treat the text as a command line
  PATH_EXPAND = 0x100,       // NormalizePath first

  // The presets the checkers use (0x1E6, 0x186, 0x106 and 0x1E7).
  PATH_COMMAND = PATH_EXPAND | PATH_STRIP_ARGS | PATH_TRY_COM | PATH_TRY_EXE | PATH_SEARCH_ENV |
                 PATH_ACCEPT_FILE,
  PATH_SERVER = PATH_EXPAND | PATH_STRIP_ARGS | PATH_SEARCH_ENV | PATH_ACCEPT_FILE,
  PATH_FILE = PATH_EXPAND | PATH_SEARCH_ENV | PATH_ACCEPT_FILE,
  PATH_FILE_OR_DIR = PATH_COMMAND | PATH_ACCEPT_DIR,
};

// Drops a leading "\??\", turns a leading "\SystemRoot\" into
// "%SYSTEMROOT%\" and expands environment variables. An expansion that does
// not fit the 260-character buffer leaves the path empty, so it is never
// found.
void NormalizePath(const CScanContext& context, std::string& path);

// The single existence test of one candidate (quotes and spaces trimmed);
// reads only the accept and extension flags.
bool CheckFile(CScanContext& context, const std::string& path, unsigned flags);

// CheckFile on folder + "\" + name for every folder of PATH, in order.
bool SearchEnvPath(CScanContext& context, const std::string& name, unsigned flags);

// The full test the checkers use; true means the entry's target exists.
bool CheckPath(CScanContext& context, std::string text, unsigned flags);

// The view whose expansion rules hold in `context` while the object lives.
class CPathViewScope {
 public:
  CPathViewScope(CScanContext& context, RegView view);
  ~CPathViewScope();
  CPathViewScope(const CPathViewScope&) = delete;
  CPathViewScope& operator=(const CPathViewScope&) = delete;

 private:
  CScanContext& context_;
  RegView previous_;
};

}  // namespace RegCheck
