#include "backup/SessionCodec.h"

#include <utility>

#include "backup/ByteWriter.h"

namespace RegCheck {

namespace {

constexpr size_t kMinEntrySize = 4 + 20;

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool ReadEntry(ByteReader& reader, OperationRecord& record) {
  if (!reader.ReadU32(record.type)) return false;
  if (record.type != kKeyDeleteType && record.type != kValueDeleteType) return false;
  return reader.ReadBytes(4, record.root) && reader.ReadCounted(record.keyPath) &&
         reader.ReadCounted(record.name) && reader.ReadCounted(record.description) &&
         reader.ReadCounted(record.snapshot);
}

bool WriteEntry(ByteWriter& writer, const OperationRecord& record) {
  if (record.root.size() != 4) return false;
  writer.PutU32(record.type);
  writer.PutBytes(record.root.data(), 4);
  writer.PutCounted(record.keyPath);
  writer.PutCounted(record.name);
  writer.PutCounted(record.description);
  writer.PutCounted(record.snapshot);
  return writer.Ok();
}

}  // namespace

bool IsCalendarTime(const SessionTime& time) {
  if (time.year < 1601 || time.year > 30827) return false;
  if (time.month < 1 || time.month > 12) return false;
  if (time.day < 1 || time.day > DaysInMonth(time.year, time.month)) return false;
  return time.hour < 24 && time.minute < 60 && time.second < 60;
}

bool ReadSessionTime(ByteReader& reader, SessionTime& time) {
  return reader.ReadU16(time.year) && reader.ReadU16(time.month) && reader.ReadU16(time.dayOfWeek) &&
         reader.ReadU16(time.day) && reader.ReadU16(time.hour) && reader.ReadU16(time.minute) &&
         reader.ReadU16(time.second) && reader.ReadU16(time.milliseconds);
}

void WriteSessionTime(ByteWriter& writer, const SessionTime& time) {
  writer.PutU16(time.year);
  writer.PutU16(time.month);
  writer.PutU16(time.dayOfWeek);
  writer.PutU16(time.day);
  writer.PutU16(time.hour);
  writer.PutU16(time.minute);
  writer.PutU16(time.second);
  writer.PutU16(time.milliseconds);
}

size_t RecordSize(const OperationRecord& record) {
  return record.keyPath.size() + record.name.size() + record.description.size() +
         record.snapshot.size() + 20;
}

bool EncodeEntry(const OperationRecord& record, Bytes& out) {
  out.assign(4 + RecordSize(record), 0);
  ByteWriter writer(out.data(), out.size());
  if (!WriteEntry(writer, record) || !writer.Complete()) {
    out.clear();
    return false;
  }
  return true;
}

bool DecodeEntry(const uint8_t* data, size_t size, OperationRecord& out) {
  ByteReader reader(data, size);
  OperationRecord parsed;
  if (!ReadEntry(reader, parsed) || !reader.AtEnd()) return false;
  out = std::move(parsed);
  return true;
}

size_t PayloadSize(const SessionPayload& payload) {
  size_t size = kMinPayloadSize;
  for (const OperationRecord& record : payload.operations) size += 4 + RecordSize(record);
  return size;
}

bool EncodePayload(const SessionPayload& payload, Bytes& out) {
  out.assign(PayloadSize(payload), 0);
  ByteWriter writer(out.data(), out.size());
  WriteSessionTime(writer, payload.time);
  writer.PutU32(static_cast<uint32_t>(payload.operations.size()));
  bool ok = true;
  for (const OperationRecord& record : payload.operations) ok = ok && WriteEntry(writer, record);
  if (!ok || !writer.Complete()) {
    out.clear();
    return false;
  }
  return true;
}

bool DecodePayload(const uint8_t* data, size_t size, SessionPayload& out) {
  ByteReader reader(data, size);
  SessionPayload parsed;
  if (!ReadSessionTime(reader, parsed.time) || !IsCalendarTime(parsed.time)) return false;
  uint32_t count = 0;
  if (!reader.ReadU32(count)) return false;
  if (count > reader.Remaining() / kMinEntrySize) return false;
  parsed.operations.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    OperationRecord record;
    if (!ReadEntry(reader, record)) return false;
    parsed.operations.push_back(std::move(record));
  }
  if (!reader.AtEnd()) return false;
  out = std::move(parsed);
  return true;
}

bool ReadPayloadSize(const uint8_t* file, size_t fileSize, uint32_t& payloadSize) {
  ByteReader reader(file, fileSize);
  uint32_t size = 0;
  if (!reader.ReadU32(size)) return false;
  const uint64_t compressed = reader.Remaining();
  // A zlib stream has a 2-byte header and a 4-byte check around its data.
  if (compressed < 8) return false;
  if (size < kMinPayloadSize || size > kMaxPayloadSize) return false;
  if (size > compressed * kMaxDeflateRatio) return false;
  payloadSize = size;
  return true;
}

void WritePayloadSize(uint8_t* prefix, uint32_t payloadSize) {
  ByteWriter writer(prefix, kSizePrefixBytes);
  writer.PutU32(payloadSize);
}

}  // namespace RegCheck
