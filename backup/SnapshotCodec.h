#pragma once
// The byte form of a key snapshot and its in-memory model. A snapshot is
// first captured into the model, then written in one pass into a buffer of
// exactly the measured size, so counts and entries always agree.
//
//   header     uint32 p; p bytes of key path text ("HKLM\\Software\\X")
//   key node   uint32 s; s subkey entries; uint32 v; v value entries
//   subkey     uint32 k (>= 1); k name bytes; key node
//   value      uint32 m; m name bytes (0 = default value); uint32 type;
//              uint32 size; size data bytes
//
// No Windows header here: this file also builds natively for fuzzing.

#include <cstdint>
#include <string>
#include <vector>

#include "backup/ByteReader.h"

namespace RegCheck {

struct SnapshotValueEntry {
  std::string name;
  uint32_t type = 0;
  Bytes data;
};

struct SnapshotSubkey;

struct SnapshotNode {
  std::vector<SnapshotSubkey> subkeys;
  std::vector<SnapshotValueEntry> values;
};

struct SnapshotSubkey {
  std::string name;
  SnapshotNode node;
};

struct Snapshot {
  std::string path;
  SnapshotNode root;
};

// The registry allows 512 levels of keys; a snapshot never nests deeper, and
// the reader refuses anything that does so its recursion stays bounded.
constexpr int kMaxSnapshotDepth = 512;

bool SameNode(const SnapshotNode& a, const SnapshotNode& b);

// Size in bytes of the encoded snapshot.
size_t EncodedSnapshotSize(const Snapshot& snapshot);
// Encodes into `out` (replaced); false, with `out` cleared, when the model
// cannot be encoded (a field over 4 GiB, a subkey with an empty name, or
// nesting deeper than kMaxSnapshotDepth).
bool EncodeSnapshot(const Snapshot& snapshot, Bytes& out);
// Parses a whole snapshot; false when anything is out of bounds, a subkey
// name is empty, the nesting is too deep or bytes are left over. `out` is
// only replaced on success.
bool DecodeSnapshot(const uint8_t* data, size_t size, Snapshot& out);

}  // namespace RegCheck
