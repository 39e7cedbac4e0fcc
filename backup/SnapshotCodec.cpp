#include "backup/SnapshotCodec.h"

#include <utility>

#include "backup/ByteWriter.h"

namespace RegCheck {

namespace {

size_t NodeSize(const SnapshotNode& node) {
  size_t size = 8;
  for (const SnapshotSubkey& subkey : node.subkeys) size += 4 + subkey.name.size() + NodeSize(subkey.node);
  for (const SnapshotValueEntry& value : node.values) size += 12 + value.name.size() + value.data.size();
  return size;
}

bool WriteNode(ByteWriter& writer, const SnapshotNode& node, int depth) {
  if (depth > kMaxSnapshotDepth) return false;
  writer.PutU32(static_cast<uint32_t>(node.subkeys.size()));
  for (const SnapshotSubkey& subkey : node.subkeys) {
    if (subkey.name.empty()) return false;
    writer.PutCounted(subkey.name);
    if (!WriteNode(writer, subkey.node, depth + 1)) return false;
  }
  writer.PutU32(static_cast<uint32_t>(node.values.size()));
  for (const SnapshotValueEntry& value : node.values) {
    writer.PutCounted(value.name);
    writer.PutU32(value.type);
    writer.PutCounted(value.data);
  }
  return writer.Ok();
}

// Each entry takes at least this many bytes, so a claimed count larger than
// what is left divided by it cannot be true.
constexpr size_t kMinSubkeyEntry = 4 + 1 + 8;
constexpr size_t kMinValueEntry = 12;

bool ReadNode(ByteReader& reader, SnapshotNode& node, int depth) {
  if (depth > kMaxSnapshotDepth) return false;
  uint32_t subkeys = 0;
  if (!reader.ReadU32(subkeys)) return false;
  if (subkeys > reader.Remaining() / kMinSubkeyEntry) return false;
  node.subkeys.resize(subkeys);
  for (SnapshotSubkey& subkey : node.subkeys) {
    if (!reader.ReadCounted(subkey.name) || subkey.name.empty()) return false;
    if (!ReadNode(reader, subkey.node, depth + 1)) return false;
  }
  uint32_t values = 0;
  if (!reader.ReadU32(values)) return false;
  if (values > reader.Remaining() / kMinValueEntry) return false;
  node.values.resize(values);
  for (SnapshotValueEntry& value : node.values) {
    if (!reader.ReadCounted(value.name) || !reader.ReadU32(value.type) ||
        !reader.ReadCounted(value.data))
      return false;
  }
  return true;
}

}  // namespace

bool SameNode(const SnapshotNode& a, const SnapshotNode& b) {
  if (a.subkeys.size() != b.subkeys.size() || a.values.size() != b.values.size()) return false;
  for (size_t i = 0; i < a.subkeys.size(); ++i) {
    if (a.subkeys[i].name != b.subkeys[i].name || !SameNode(a.subkeys[i].node, b.subkeys[i].node))
      return false;
  }
  for (size_t i = 0; i < a.values.size(); ++i) {
    const SnapshotValueEntry& x = a.values[i];
    const SnapshotValueEntry& y = b.values[i];
    if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
  }
  return true;
}

size_t EncodedSnapshotSize(const Snapshot& snapshot) {
  return 4 + snapshot.path.size() + NodeSize(snapshot.root);
}

bool EncodeSnapshot(const Snapshot& snapshot, Bytes& out) {
  out.assign(EncodedSnapshotSize(snapshot), 0);
  ByteWriter writer(out.data(), out.size());
  writer.PutCounted(snapshot.path);
  if (!WriteNode(writer, snapshot.root, 0) || !writer.Complete()) {
    out.clear();
    return false;
  }
  return true;
}

bool DecodeSnapshot(const uint8_t* data, size_t size, Snapshot& out) {
  ByteReader reader(data, size);
  Snapshot parsed;
  if (!reader.ReadCounted(parsed.path)) return false;
  if (!ReadNode(reader, parsed.root, 0) || !reader.AtEnd()) return false;
  out = std::move(parsed);
  return true;
}

}  // namespace RegCheck
