#include "backup/RegFileExport.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

#include "backup/SnapshotCodec.h"
#include "engine/Handle.h"

namespace RegCheck {

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00\r\n";
// regedit wraps hex lists near this column; continuation lines end in "\".
constexpr size_t kLineWidth = 76;

bool IsStringType(uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

const char* RootName(const std::string& abbreviation) {
  if (lstrcmpiA(abbreviation.c_str(), "HKLM") == 0) return "HKEY_LOCAL_MACHINE";
  if (lstrcmpiA(abbreviation.c_str(), "HKCU") == 0) return "HKEY_CURRENT_USER";
  if (lstrcmpiA(abbreviation.c_str(), "HKCR") == 0) return "HKEY_CLASSES_ROOT";
  return nullptr;
}

bool HasLineBreak(const std::string& name) { return name.find_first_of("\r\n") != std::string::npos; }

// A comment line's text: control characters would end or garble the line.
std::string CommentText(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return text;
}

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

// Data that regedit's text form reproduces exactly: printable ASCII, then
// one zero byte and nothing after it.
bool IsPlainText(const Bytes& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] < 0x20 || data[i] > 0x7E) return false;
  return true;
}

// `size` ANSI bytes widened through the ANSI code page, as the registry's
// ANSI calls widen names and string data: whatever the byte count, with no
// terminator added. Little-endian UTF-16 bytes.
Bytes Widened(const char* text, size_t size) {
  if (size == 0) return Bytes();
  const int length = static_cast<int>(size);
  const int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  std::wstring buffer(static_cast<size_t>(wide > 0 ? wide : 0), L'\0');
  if (wide > 0) MultiByteToWideChar(CP_ACP, 0, text, length, &buffer[0], wide);
  Bytes stored(buffer.size() * 2);
  for (size_t i = 0; i < buffer.size(); ++i) {
    stored[2 * i] = static_cast<uint8_t>(buffer[i] & 0xFF);
    stored[2 * i + 1] = static_cast<uint8_t>(buffer[i] >> 8);
  }
  return stored;
}

Bytes StoredStringBytes(const Bytes& data) {
  return Widened(reinterpret_cast<const char*>(data.data()), data.size());
}

// `line` (name and "hex(n):") followed by the bytes, wrapped as regedit does.
std::string HexLines(std::string line, const Bytes& bytes) {
  std::string out;
  char pair[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(pair, sizeof pair, "%02x", bytes[i]);
    line += pair;
    if (i + 1 == bytes.size()) break;
    line += ',';
    if (line.size() >= kLineWidth) {
      out += line + "\\\r\n";
      line = "  ";
    }
  }
  return out + line + "\r\n";
}

std::string ValueLines(const SnapshotValueEntry& value) {
  const std::string name = value.name.empty() ? std::string("@") : Quoted(value.name);
  if (value.type == REG_SZ && IsPlainText(value.data))
    return name + "=" + Quoted(std::string(value.data.begin(), value.data.end() - 1)) + "\r\n";
  if (value.type == REG_DWORD && value.data.size() == 4) {
    const uint32_t number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                            static_cast<uint32_t>(value.data[3]) << 24;
    char text[16];
    snprintf(text, sizeof text, "dword:%08x", number);
    return name + "=" + text + "\r\n";
  }
  char kind[24];
  if (value.type == REG_BINARY)
    snprintf(kind, sizeof kind, "hex:");
  else
    snprintf(kind, sizeof kind, "hex(%x):", value.type);
  return HexLines(name + "=" + kind,
                  IsStringType(value.type) ? StoredStringBytes(value.data) : value.data);
}

// The key line and values of `node` at `path`, then its subkeys in the
// order recorded, so that regedit creates every key, empty ones included.
bool AppendNode(const std::string& path, const SnapshotNode& node, std::string& text,
                std::string& error) {
  text += "[" + path + "]\r\n";
  for (const SnapshotValueEntry& value : node.values) {
    if (HasLineBreak(value.name)) {
      error = "the value name \"" + CommentText(value.name) + "\" in " + path +
              " holds a line break, which a .reg file cannot express";
      return false;
    }
    text += ValueLines(value);
  }
  text += "\r\n";
  for (const SnapshotSubkey& subkey : node.subkeys) {
    if (HasLineBreak(subkey.name)) {
      error = "a key name in " + path + " holds a line break, which a .reg file cannot express";
      return false;
    }
    if (!AppendNode(path + "\\" + subkey.name, subkey.node, text, error)) return false;
  }
  return true;
}

std::string SessionTimeText(int64_t time) {
  const __time64_t t = time;
  struct tm local;
  char text[64] = "unknown time";
  if (_localtime64_s(&local, &t) == 0) strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string OperationComment(int number, IRegistryOperation& operation) {
  return "; " + std::to_string(number) + ". " + CommentText(operation.GetDescription()) + "\r\n";
}

}  // namespace

bool FormatRegFile(const CBackupSession& session, std::string& text, std::string& error) {
  std::string out = kHeader;
  out += "\r\n; Varnholt backup session of " + SessionTimeText(session.GetTime()) + ", " +
         std::to_string(session.Count()) + " operation(s):\r\n";
  int number = 1;
  for (IRegistryOperation* operation : session) out += OperationComment(number++, *operation);
  out += "\r\n";

  number = 1;
  for (IRegistryOperation* operation : session) {
    const Bytes bytes = operation->GetSnapshot();
    Snapshot snapshot;
    const bool decoded = DecodeSnapshot(bytes.data(), bytes.size(), snapshot);
    const size_t slash = decoded ? snapshot.path.find('\\') : std::string::npos;
    const char* root =
        slash == std::string::npos ? nullptr : RootName(snapshot.path.substr(0, slash));
    if (!root) {
      error = "the backup of operation " + std::to_string(number) + " (" +
              CommentText(operation->GetDescription()) + ") is damaged";
      return false;
    }
    out += OperationComment(number++, *operation);
    if (!AppendNode(root + snapshot.path.substr(slash), snapshot.root, out, error)) return false;
  }
  text.swap(out);
  return true;
}

bool ExportRegFile(const CBackupSession& session, const std::string& path, std::string& error) {
  std::string text;
  if (!FormatRegFile(session, text, error)) return false;
  Bytes unicode = {0xFF, 0xFE};  // byte order mark
  const Bytes body = Widened(text.data(), text.size());
  unicode.insert(unicode.end(), body.begin(), body.end());
  bool written = false;
  {
    OwnedFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      error = "cannot create \"" + path + "\" (error " + std::to_string(GetLastError()) + ")";
      return false;
    }
    DWORD done = 0;
    written = WriteFile(file.Get(), unicode.data(), static_cast<DWORD>(unicode.size()), &done,
                        nullptr) &&
              done == unicode.size();
  }
  if (!written) {
    error = "cannot write \"" + path + "\" completely";
    DeleteFileA(path.c_str());
  }
  return written;
}

}  // namespace RegCheck
