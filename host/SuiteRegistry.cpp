#include "host/SuiteRegistry.h"

namespace kelvrix::host {

void SuiteRegistry::Register(const std::string& name, int32 version, const void* table) {
  std::lock_guard<std::mutex> lock(mutex_);
  tables_[{name, version}] = table;
}

void SuiteRegistry::SetMissing(const std::string& name, int32 version, bool missing) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (version < 0) {
    if (missing)
      missingAllVersions_.insert(name);
    else
      missingAllVersions_.erase(name);
  } else if (missing) {
    missing_.insert({name, version});
  } else {
    missing_.erase({name, version});
  }
}

void SuiteRegistry::SetNullTable(const std::string& name, int32 version, bool nullTable) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (nullTable)
    nullTables_.insert({name, version});
  else
    nullTables_.erase({name, version});
}

bool SuiteRegistry::IsMissing(const Key& key) const {
  return missing_.count(key) != 0 || missingAllVersions_.count(key.first) != 0 ||
         tables_.count(key) == 0;
}

SPErr SuiteRegistry::Acquire(const char* name, int32 version, const void** suite) {
  if (name == nullptr || suite == nullptr) return kSPBadParameterError;
  std::lock_guard<std::mutex> lock(mutex_);
  const Key key{name, version};
  if (IsMissing(key)) {
    *suite = nullptr;
    return kSPSuiteNotFoundError;
  }
  ++acquires_[key];
  *suite = nullTables_.count(key) != 0 ? nullptr : tables_.at(key);
  return kSPNoError;
}

SPErr SuiteRegistry::Release(const char* name, int32 version) {
  if (name == nullptr) return kSPBadParameterError;
  std::lock_guard<std::mutex> lock(mutex_);
  const Key key{name, version};
  if (tables_.count(key) == 0) return kSPSuiteNotFoundError;
  ++releases_[key];
  return kSPNoError;
}

int SuiteRegistry::Acquires(const std::string& name, int32 version) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = acquires_.find({name, version});
  return it == acquires_.end() ? 0 : it->second;
}

int SuiteRegistry::Releases(const std::string& name, int32 version) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = releases_.find({name, version});
  return it == releases_.end() ? 0 : it->second;
}

std::vector<std::string> SuiteRegistry::Unbalanced() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::map<Key, int> balance;
  for (const auto& [key, n] : acquires_) balance[key] += n;
  for (const auto& [key, n] : releases_) balance[key] -= n;
  std::vector<std::string> out;
  for (const auto& [key, n] : balance) {
    if (n != 0) {
      out.push_back(key.first + " v" + std::to_string(key.second) + " (" + (n > 0 ? "+" : "") +
                    std::to_string(n) + ")");
    }
  }
  return out;
}

void SuiteRegistry::ResetCounts() {
  std::lock_guard<std::mutex> lock(mutex_);
  acquires_.clear();
  releases_.clear();
}

}  // namespace kelvrix::host
