#include "app/cli/JsonWriter.h"

#include <windows.h>

#include <cstdio>

namespace RegCheck {

std::string CJsonWriter::Quote(const std::string& text) {
  std::wstring wide;
  if (!text.empty()) {
    const int length = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (count > 0) {
      wide.resize(static_cast<size_t>(count));
      MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], count);
    } else {
      // No conversion at all: keep each byte as the character of that code
      // rather than lose the text.
      wide.assign(text.begin(), text.end());
      for (wchar_t& c : wide) c &= 0xFF;
    }
  }
  std::string out = "\"";
  char escape[8];
  // UTF-16 units are written as they are, so surrogate pairs stay pairs.
  for (wchar_t c : wide) {
    if (c == L'"') {
      out += "\\\"";
    } else if (c == L'\\') {
      out += "\\\\";
    } else if (c == L'\n') {
      out += "\\n";
    } else if (c == L'\r') {
      out += "\\r";
    } else if (c == L'\t') {
      out += "\\t";
    } else if (c < 0x20 || c > 0x7E) {
      snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c) & 0xFFFF);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + '"';
}

void CJsonWriter::Prefix() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasElement_.empty()) return;
  if (hasElement_.back()) out_ << ',';
  hasElement_.back() = true;
  out_ << '\n' << std::string(hasElement_.size() * 2, ' ');
}

void CJsonWriter::Open(char bracket) {
  Prefix();
  out_ << bracket;
  hasElement_.push_back(false);
}

void CJsonWriter::Close(char bracket) {
  const bool any = hasElement_.back();
  hasElement_.pop_back();
  if (any) out_ << '\n' << std::string(hasElement_.size() * 2, ' ');
  out_ << bracket;
  if (hasElement_.empty()) out_ << '\n';
}

void CJsonWriter::BeginObject() { Open('{'); }
void CJsonWriter::EndObject() { Close('}'); }
void CJsonWriter::BeginArray() { Open('['); }
void CJsonWriter::EndArray() { Close(']'); }

void CJsonWriter::Key(const std::string& name) {
  Prefix();
  out_ << Quote(name) << ": ";
  afterKey_ = true;
}

void CJsonWriter::String(const std::string& text) {
  Prefix();
  out_ << Quote(text);
}

void CJsonWriter::Number(int64_t number) {
  Prefix();
  out_ << number;
}

void CJsonWriter::Bool(bool value) {
  Prefix();
  out_ << (value ? "true" : "false");
}

void CJsonWriter::Null() {
  Prefix();
  out_ << "null";
}

void CJsonWriter::Field(const std::string& name, const std::string& text) {
  Key(name);
  String(text);
}

void CJsonWriter::Field(const std::string& name, int64_t number) {
  Key(name);
  Number(number);
}

}  // namespace RegCheck
