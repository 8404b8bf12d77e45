// The host's suites, found by exact name and version as the real host finds them, with
// per-suite acquire and release counts and switches that make a suite missing.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hostapi/HostApi.h"

namespace kelvrix::host {

class SuiteRegistry {
 public:
  using Key = std::pair<std::string, int32>;

  void Register(const std::string& name, int32 version, const void* table);

  // A missing suite fails to acquire with kSPSuiteNotFoundError. version < 0: every version.
  void SetMissing(const std::string& name, int32 version = -1, bool missing = true);
  // The suite acquires "successfully" but hands back a null table.
  void SetNullTable(const std::string& name, int32 version, bool nullTable = true);

  SPErr Acquire(const char* name, int32 version, const void** suite);
  SPErr Release(const char* name, int32 version);

  int Acquires(const std::string& name, int32 version) const;
  int Releases(const std::string& name, int32 version) const;
  // Suites whose acquires and releases differ, as "name v<version> (+n)".
  std::vector<std::string> Unbalanced() const;
  void ResetCounts();

 private:
  bool IsMissing(const Key& key) const;

  mutable std::mutex mutex_;
  std::map<Key, const void*> tables_;
  std::set<Key> missing_;
  std::set<std::string> missingAllVersions_;
  std::set<Key> nullTables_;
  std::map<Key, int> acquires_;
  std::map<Key, int> releases_;
};

}  // namespace kelvrix::host
