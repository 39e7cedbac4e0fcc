#pragma once
// The byte form of the recovery journal that makes each deletion durable
// before it happens, so a crash in the middle of a fix run loses no backup.
//
//   header  4 bytes "VHJ1"; 16 bytes SYSTEMTIME of the session
//   frame   uint32 n; uint32 FNV-1a of the n bytes; n bytes: a payload
//           entry (uint32 type + operation record), or the 4-byte revoke
//           marker saying the entry before it was not deleted after all
//
// Frames are only ever appended; a crash can leave the last one incomplete,
// and the reader then keeps everything before it.
//
// No Windows header here: this file also builds natively for fuzzing.

#include <cstdint>
#include <string>
#include <vector>

#include "backup/SessionCodec.h"

namespace RegCheck {

constexpr size_t kJournalHeaderSize = 20;
constexpr uint32_t kJournalRevoke = 0xFFFFFFFFu;

uint32_t Fnv1a(const uint8_t* data, size_t size);

void EncodeJournalHeader(const SessionTime& time, Bytes& out);
// A frame around one payload entry; false when the record cannot be encoded.
bool EncodeJournalEntry(const OperationRecord& record, Bytes& out);
void EncodeJournalRevoke(Bytes& out);

// Reads a journal into a session payload: the header's time and every entry
// up to the first incomplete or damaged frame, minus revoked ones. False
// when the header is missing or wrong, or its time is no calendar time.
bool DecodeJournal(const uint8_t* data, size_t size, SessionPayload& out);

}  // namespace RegCheck
