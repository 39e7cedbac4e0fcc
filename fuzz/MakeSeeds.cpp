// Writes a few valid snapshots, payloads and ".rbk" files as seed corpora,
// so the fuzzers start from inputs that reach deep into the readers.
// Usage: MakeSeeds OUTDIR (creates OUTDIR/{snapshot,payload,file,journal}/seed-N).

#include <cstdio>
#include <string>

#include "backup/JournalCodec.h"
#include "backup/SessionCodec.h"
#include "backup/SessionFile.h"
#include "backup/SnapshotCodec.h"

using namespace RegCheck;

namespace {

void Save(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

Snapshot Sample(int variant) {
  Snapshot s;
  s.path = variant ? "HKCU\\Software\\Sample" : "HKLM\\Software\\Classes\\CLSID\\{x}";
  SnapshotValueEntry v;
  v.name = "";
  v.type = 1;
  v.data = Bytes{'a', 'b', 0};
  s.root.values.push_back(v);
  if (variant) {
    SnapshotSubkey sub;
    sub.name = "Level1";
    v.name = "multi";
    v.type = 7;
    v.data = Bytes{'x', 0, 'y', 0, 0};
    sub.node.values.push_back(v);
    SnapshotSubkey deeper;
    deeper.name = "Level2";
    deeper.node.values.push_back(v);
    sub.node.subkeys.push_back(deeper);
    s.root.subkeys.push_back(sub);
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string out = argv[1];
  SessionPayload payload;
  payload.time = SessionTime{2024, 3, 6, 9, 14, 30, 5, 0};
  Bytes journal;
  EncodeJournalHeader(payload.time, journal);
  for (int i = 0; i < 2; ++i) {
    Bytes snapshot;
    EncodeSnapshot(Sample(i), snapshot);
    Save(out + "/snapshot/seed-" + std::to_string(i), snapshot);
    OperationRecord record;
    record.type = static_cast<uint32_t>(i);
    record.root = i ? "HKCU" : "HKLM";
    record.keyPath = "Software";
    record.name = i ? "Sample" : "";
    record.description = "seed operation";
    record.snapshot = snapshot;
    payload.operations.push_back(record);
    Bytes encoded;
    EncodePayload(payload, encoded);
    Save(out + "/payload/seed-" + std::to_string(i), encoded);
    Bytes file;
    PackSessionFile(encoded, file);
    Save(out + "/file/seed-" + std::to_string(i), file);
    Bytes frame;
    EncodeJournalEntry(record, frame);
    journal.insert(journal.end(), frame.begin(), frame.end());
    if (i == 1) {
      EncodeJournalRevoke(frame);
      journal.insert(journal.end(), frame.begin(), frame.end());
    }
    Save(out + "/journal/seed-" + std::to_string(i), journal);
  }
  return 0;
}
