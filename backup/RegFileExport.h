#pragma once
// Writes a backup session as a "Windows Registry Editor Version 5.00" file,
// so that any machine's regedit can put the recorded keys and values back
// without this program.
//
// The file is UTF-16LE with a byte order mark, as regedit writes it. That
// is needed, not a matter of taste: regedit reads the hex(1), hex(2) and
// hex(7) bytes of a file without the mark as ANSI text and widens each
// byte, so the exact UTF-16 data of a string value can only come back from
// a Unicode file. Names, recorded in the ANSI code page, are widened through
// that code page, just as the registry's ANSI calls of the program's own
// restore would widen them. String data is written as text only when it is
// plain printable ASCII with one terminator; anything else (other types,
// odd sizes, missing or extra terminators, other bytes) is written as
// hex(n): bytes, for string types the UTF-16 bytes that the ANSI registry
// call would have stored.

#include <string>

#include "backup/BackupSession.h"

namespace RegCheck {

// The text of the file for every operation of `session`, in the ANSI code
// page with CRLF line ends (before the conversion to UTF-16). False, with a reason in `error`, when a snapshot is damaged or a
// name cannot be written in the format (a line break in it).
bool FormatRegFile(const CBackupSession& session, std::string& text, std::string& error);

// FormatRegFile written to `path` (replaced). False, with a reason in
// `error`, when the text cannot be made or the file cannot be written
// completely; no partial file is left.
bool ExportRegFile(const CBackupSession& session, const std::string& path, std::string& error);

}  // namespace RegCheck
