#pragma once
// The byte form of a backup session and of the ".rbk" file around it.
//
//   payload   16 bytes SYSTEMTIME (eight uint16: year, month, day of week,
//             day, hour, minute, second, milliseconds); uint32 n; n entries
//             of uint32 type + operation record
//   record    4 root bytes ("HKLM", "HKCU", "HKCR"); uint32 a + keyPath;
//             uint32 b + name; uint32 c + description; uint32 d + snapshot
//   file      uint32 payload size before compression; zlib stream
//
// No Windows header here: this file also builds natively for fuzzing.

#include <cstdint>
#include <string>
#include <vector>

#include "backup/ByteReader.h"

namespace RegCheck {

constexpr uint32_t kKeyDeleteType = 0;
constexpr uint32_t kValueDeleteType = 1;

struct SessionTime {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t dayOfWeek = 0;
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

// True for a real date and time of day (month 1-12, a day that month has,
// hour, minute and second in range, a year a SYSTEMTIME can hold). Day of
// week and milliseconds are not stored meaningfully and are not checked.
bool IsCalendarTime(const SessionTime& time);

class ByteWriter;
// The 16-byte SYSTEMTIME form that a payload and a journal both begin with.
bool ReadSessionTime(ByteReader& reader, SessionTime& time);
void WriteSessionTime(ByteWriter& writer, const SessionTime& time);

struct OperationRecord {
  uint32_t type = kKeyDeleteType;
  std::string root;  // exactly 4 bytes
  std::string keyPath;
  std::string name;
  std::string description;
  Bytes snapshot;
};

// a + b + c + d + 20.
size_t RecordSize(const OperationRecord& record);

// One payload entry (uint32 type, then the record) into `out` (replaced);
// false when the root is not 4 bytes.
bool EncodeEntry(const OperationRecord& record, Bytes& out);
// Reads one entry spanning the whole buffer; false when it is malformed,
// its type is neither 0 nor 1, or bytes are left over.
bool DecodeEntry(const uint8_t* data, size_t size, OperationRecord& out);

struct SessionPayload {
  SessionTime time;
  std::vector<OperationRecord> operations;
};

// 20 + sum of (4 + RecordSize).
size_t PayloadSize(const SessionPayload& payload);
// Writes the payload into `out` (replaced), sized exactly beforehand; false,
// with `out` cleared, when a record's root is not 4 bytes or a field is too
// long for its length field.
bool EncodePayload(const SessionPayload& payload, Bytes& out);
// Parses a whole payload. False when a record runs past the end, an
// operation type is neither 0 nor 1, the time is no calendar time or bytes
// are left over; `out` is only replaced on success. Snapshots inside the
// records are not parsed here: a restore checks each one before using it.
bool DecodePayload(const uint8_t* data, size_t size, SessionPayload& out);

constexpr size_t kSizePrefixBytes = 4;
constexpr size_t kMinPayloadSize = 20;
// zlib cannot expand data by more than about 1032:1; a larger claim is a
// damaged or hostile file, refused before anything is allocated.
constexpr uint64_t kMaxDeflateRatio = 1032;
// No session comes near this; it keeps a 32-bit process from trying to
// allocate most of its address space for a claimed size.
constexpr uint32_t kMaxPayloadSize = 256u << 20;

// Reads the size prefix of a whole ".rbk" file and checks it against what
// the compressed rest of the file could hold. `payloadSize` is untouched on
// failure.
bool ReadPayloadSize(const uint8_t* file, size_t fileSize, uint32_t& payloadSize);
void WritePayloadSize(uint8_t* prefix, uint32_t payloadSize);

}  // namespace RegCheck
