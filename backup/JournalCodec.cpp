#include "backup/JournalCodec.h"

#include <cstring>
#include <utility>

#include "backup/ByteWriter.h"

namespace RegCheck {

namespace {

const char kMagic[4] = {'V', 'H', 'J', '1'};

void Frame(const Bytes& content, Bytes& out) {
  out.assign(8 + content.size(), 0);
  ByteWriter writer(out.data(), out.size());
  writer.PutU32(static_cast<uint32_t>(content.size()));
  writer.PutU32(Fnv1a(content.data(), content.size()));
  writer.PutBytes(content.data(), content.size());
}

}  // namespace

uint32_t Fnv1a(const uint8_t* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 16777619u;
  }
  return hash;
}

void EncodeJournalHeader(const SessionTime& time, Bytes& out) {
  out.assign(kJournalHeaderSize, 0);
  ByteWriter writer(out.data(), out.size());
  writer.PutBytes(kMagic, 4);
  WriteSessionTime(writer, time);
}

bool EncodeJournalEntry(const OperationRecord& record, Bytes& out) {
  Bytes entry;
  if (!EncodeEntry(record, entry)) return false;
  Frame(entry, out);
  return true;
}

void EncodeJournalRevoke(Bytes& out) {
  Bytes marker(4, 0);
  ByteWriter writer(marker.data(), marker.size());
  writer.PutU32(kJournalRevoke);
  Frame(marker, out);
}

bool DecodeJournal(const uint8_t* data, size_t size, SessionPayload& out) {
  ByteReader reader(data, size);
  std::string magic;
  SessionPayload parsed;
  if (!reader.ReadBytes(4, magic) || std::memcmp(magic.data(), kMagic, 4) != 0) return false;
  if (!ReadSessionTime(reader, parsed.time) || !IsCalendarTime(parsed.time)) return false;
  while (!reader.AtEnd()) {
    uint32_t length = 0;
    uint32_t check = 0;
    Bytes content;
    if (!reader.ReadU32(length) || !reader.ReadU32(check) || !reader.ReadBytes(length, content)) break;
    if (Fnv1a(content.data(), content.size()) != check) break;
    uint32_t kind = 0;
    ByteReader entry(content.data(), content.size());
    if (content.size() == 4 && entry.ReadU32(kind) && kind == kJournalRevoke) {
      if (!parsed.operations.empty()) parsed.operations.pop_back();
      continue;
    }
    OperationRecord record;
    if (!DecodeEntry(content.data(), content.size(), record)) break;
    parsed.operations.push_back(std::move(record));
  }
  out = std::move(parsed);
  return true;
}

}  // namespace RegCheck
