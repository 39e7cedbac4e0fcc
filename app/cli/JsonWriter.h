#pragma once
// Writes one JSON document for scripts, pretty-printed with two-space
// indents. Keys and strings are the program's ANSI text; they are turned
// into Unicode through the ANSI code page and every character outside
// printable ASCII is written as a \u escape, so the output is plain ASCII
// and valid JSON whatever bytes a registry name holds.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace RegCheck {

class CJsonWriter {
 public:
  explicit CJsonWriter(std::ostream& out) : out_(out) {}
  CJsonWriter(const CJsonWriter&) = delete;
  CJsonWriter& operator=(const CJsonWriter&) = delete;

  // Containers: a key (inside an object) comes first through Key.
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(const std::string& name);
  void String(const std::string& text);
  void Number(int64_t number);
  void Bool(bool value);
  void Null();

  // Shorthands for a key with its value.
  void Field(const std::string& name, const std::string& text);
  void Field(const std::string& name, const char* text) { Field(name, std::string(text)); }
  void Field(const std::string& name, int64_t number);
  void Field(const std::string& name, int number) { Field(name, static_cast<int64_t>(number)); }

  // `text` as a JSON string literal, quotes included.
  static std::string Quote(const std::string& text);

 private:
  // Separator and indent before a value or key.
  void Prefix();
  void Open(char bracket);
  void Close(char bracket);

  std::ostream& out_;
  // One entry per open container: whether it holds an element yet.
  std::vector<bool> hasElement_;
  bool afterKey_ = false;
};

}  // namespace RegCheck
