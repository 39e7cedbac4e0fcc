#pragma once
// Writes a backup session as a "Windows Registry Editor Version 5.00" file,
// so that any machine's regedit can put the recorded keys and values back
// without this program.
//
// The file is written in the ANSI code page, like every name and string the
// program records: regedit reads a file without byte order mark through
// that same code page, so names come back exactly as the program's own
// restore would write them. String data is written as text only when it is
// plain printable ASCII with one terminator; anything else (other types,
// odd sizes, missing or extra terminators, other bytes) is written as
// hex(n): bytes, for string types the UTF-16 bytes that the ANSI registry
// call would have stored.

#include <string>

#include "backup/BackupSession.h"

namespace RegCheck {

// The text of the file for every operation of `session`, with CRLF line
// ends. False, with a reason in `error`, when a snapshot is damaged or a
// name cannot be written in the format (a line break in it).
bool FormatRegFile(const CBackupSession& session, std::string& text, std::string& error);

// FormatRegFile written to `path` (replaced). False, with a reason in
// `error`, when the text cannot be made or the file cannot be written
// completely; no partial file is left.
bool ExportRegFile(const CBackupSession& session, const std::string& path, std::string& error);

}  // namespace RegCheck
