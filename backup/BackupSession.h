#pragma once
// One run's worth of recorded deletions, and its ".rbk" file.

#include <cstdint>
#include <string>
#include <vector>

#include "backup/RegistryOperation.h"
#include "backup/SessionCodec.h"

namespace RegCheck {

class CBackupSession {
 public:
  using Container = std::vector<IRegistryOperation*>;

  // A session created now, with no operations and no file.
  CBackupSession();
  // Destroys every operation.
  ~CBackupSession();
  CBackupSession(const CBackupSession&) = delete;
  CBackupSession& operator=(const CBackupSession&) = delete;

  // Replaces the operations with those of the file. 0 when the file cannot
  // be read, its size prefix is absurd, the zlib stream is damaged or the
  // payload is malformed in any way; the session is then left empty and
  // `filePath` unchanged.
  int Load(const std::string& path);
  // Writes the session to `path`, replacing any file there. 1 when the
  // whole file was written; 0 otherwise, and no partial file is left.
  int Save(const std::string& path);

  // Destroys every operation (the session becomes dirty when it held any).
  void Clear();

  int Count() const { return static_cast<int>(operations_.size()); }
  IRegistryOperation* At(int index) const { return operations_[static_cast<size_t>(index)]; }
  Container::const_iterator begin() const { return operations_.begin(); }
  Container::const_iterator end() const { return operations_.end(); }

  // Seconds since 1970 (UTC); 0 for a file whose stored year is below 1900.
  int64_t GetTime() const { return time_; }
  int IsDirty() const { return dirty_; }
  void SetDirty(int dirty) { dirty_ = dirty; }
  const std::string& GetFilePath() const { return filePath_; }

  // Called by the operations' constructor and destructor only.
  void Link(IRegistryOperation* operation);
  void Unlink(IRegistryOperation* operation);

  // The payload the session would write, for Save and the tests.
  int Serialize(Bytes& payload);
  // Replaces the operations with those of a payload; 0 when it is malformed.
  int Deserialize(const Bytes& payload);
  // Replaces time and operations with those of a parsed payload.
  void Assign(const SessionPayload& payload);

  // A time as stored in files: local SYSTEMTIME, milliseconds 0. A time
  // that has no local form is stored as 1601-01-01, which reads back as 0.
  static SessionTime ToStoredTime(int64_t time);
  // The inverse; a year below 1900 gives 0.
  static int64_t FromStoredTime(const SessionTime& time);

 private:
  Container operations_;
  int64_t time_ = 0;
  int dirty_ = 0;
  std::string filePath_;
};

}  // namespace RegCheck
