// A property set as an OpenFX host keeps one: named, typed, multi-dimensional values. A
// property comes into being with its first set (the host seeds the ones it defines); getting
// one that does not exist is kOfxStatErrUnknown, as hosts that omit optional properties
// answer. Every call locks the set, so render threads may read while another thread reads.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofxhost {

class PropertySet {
 public:
  enum class Type { kInt, kDouble, kString, kPointer };

  OfxStatus SetInt(const char* name, int index, int value);
  OfxStatus SetDouble(const char* name, int index, double value);
  OfxStatus SetString(const char* name, int index, const char* value);
  OfxStatus SetPointer(const char* name, int index, void* value);
  OfxStatus GetInt(const char* name, int index, int* value) const;
  OfxStatus GetDouble(const char* name, int index, double* value) const;
  OfxStatus GetString(const char* name, int index, char** value) const;
  OfxStatus GetPointer(const char* name, int index, void** value) const;
  OfxStatus Dimension(const char* name, int* count) const;
  OfxStatus Reset(const char* name);
  void Remove(const char* name);

  // For the host and the tests: the value, or the fallback when absent.
  int Int(const std::string& name, int index = 0, int fallback = 0) const;
  double Double(const std::string& name, int index = 0, double fallback = 0) const;
  std::string String(const std::string& name, int index = 0) const;
  std::vector<std::string> Strings(const std::string& name) const;
  bool Has(const std::string& name) const;

  OfxPropertySetHandle handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }
  static PropertySet* Of(OfxPropertySetHandle h) { return reinterpret_cast<PropertySet*>(h); }

 private:
  struct Value {
    Type type = Type::kInt;
    std::vector<int> ints;
    std::vector<double> doubles;
    std::vector<std::string> strings;
    std::vector<void*> pointers;
  };
  template <typename T>
  OfxStatus Set(const char* name, Type type, int index, T value, std::vector<T> Value::*slot);
  template <typename T>
  OfxStatus Get(const char* name, Type type, int index, T* value,
                const std::vector<T> Value::*slot) const;

  mutable std::mutex mutex_;
  std::map<std::string, Value> values_;
};

// The property suite served over PropertySet handles.
const OfxPropertySuiteV1* PropertySuite();

}  // namespace kelvrix::ofxhost
