#pragma once
// Taking byte snapshots of registry keys and values, and writing them back.

#include <windows.h>

#include <string>

#include "backup/SnapshotCodec.h"

namespace RegCheck {

// Reads key `subkey` under `root` with its whole subtree into `out`, whose
// path is the key's text form ("HKCU\\Software\\X"). A key that does not
// exist captures as a node with no subkeys and no values. Returns 0 when the
// root is not HKLM, HKCU or HKCR, or when something in the tree cannot be
// read completely (a key that cannot be opened, a name that does not
// enumerate or does not open again by the name it enumerated as, data that
// cannot be read); `out` is then unspecified.
int CaptureKey(HKEY root, const std::string& subkey, Snapshot& out);
// Reads one value ("" = default value) of key `keyPath` into `out`: one
// value entry, or none when the key or the value does not exist. Returns 0
// for an unknown root or a value that exists but cannot be read.
int CaptureValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                 Snapshot& out);

// CaptureKey / CaptureValue encoded into `out`; 1 on success, 0 (with `out`
// cleared) when the capture failed.
int SnapshotKey(HKEY root, const std::string& subkey, Bytes& out);
int SnapshotValue(HKEY root, const std::string& keyPath, const std::string& valueName, Bytes& out);

// Writes a snapshot back, merging into what is there: existing keys stay,
// recorded values overwrite values of the same name, newer values and
// subkeys stay. The whole snapshot is parsed first, so a damaged one writes
// nothing; its root is taken from the path text, case ignored. Returns 1 on
// success, 0 when the snapshot is damaged or a key cannot be created (what
// was written before that stays).
int RestoreSnapshot(const Bytes& buffer);

}  // namespace RegCheck
