#include "ofxhost/PropertySet.h"

namespace kelvrix::ofxhost {

template <typename T>
OfxStatus PropertySet::Set(const char* name, Type type, int index, T value,
                           std::vector<T> Value::*slot) {
  if (name == nullptr) return kOfxStatErrUnknown;
  if (index < 0) return kOfxStatErrBadIndex;
  std::lock_guard<std::mutex> lock(mutex_);
  auto [it, made] = values_.try_emplace(name);
  Value& v = it->second;
  if (made) v.type = type;
  if (v.type != type) return kOfxStatErrValue;
  std::vector<T>& values = v.*slot;
  // Setting index k of a variable-dimension property grows it to k + 1 values.
  if (static_cast<size_t>(index) >= values.size()) values.resize(static_cast<size_t>(index) + 1);
  values[static_cast<size_t>(index)] = std::move(value);
  return kOfxStatOK;
}

template <typename T>
OfxStatus PropertySet::Get(const char* name, Type type, int index, T* value,
                           const std::vector<T> Value::*slot) const {
  if (name == nullptr || value == nullptr) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = values_.find(name);
  if (it == values_.end() || it->second.type != type) return kOfxStatErrUnknown;
  const std::vector<T>& values = it->second.*slot;
  if (index < 0 || static_cast<size_t>(index) >= values.size()) return kOfxStatErrBadIndex;
  *value = values[static_cast<size_t>(index)];
  return kOfxStatOK;
}

OfxStatus PropertySet::SetInt(const char* n, int i, int v) {
  return Set(n, Type::kInt, i, v, &Value::ints);
}
OfxStatus PropertySet::SetDouble(const char* n, int i, double v) {
  return Set(n, Type::kDouble, i, v, &Value::doubles);
}
OfxStatus PropertySet::SetString(const char* n, int i, const char* v) {
  if (v == nullptr) return kOfxStatErrValue;
  return Set(n, Type::kString, i, std::string(v), &Value::strings);
}
OfxStatus PropertySet::SetPointer(const char* n, int i, void* v) {
  return Set(n, Type::kPointer, i, v, &Value::pointers);
}
OfxStatus PropertySet::GetInt(const char* n, int i, int* v) const {
  return Get(n, Type::kInt, i, v, &Value::ints);
}
OfxStatus PropertySet::GetDouble(const char* n, int i, double* v) const {
  return Get(n, Type::kDouble, i, v, &Value::doubles);
}
OfxStatus PropertySet::GetPointer(const char* n, int i, void** v) const {
  return Get(n, Type::kPointer, i, v, &Value::pointers);
}

// The string stays the set's own: valid until the property changes, longer than the next call.
OfxStatus PropertySet::GetString(const char* n, int i, char** v) const {
  if (n == nullptr || v == nullptr) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = values_.find(n);
  if (it == values_.end() || it->second.type != Type::kString) return kOfxStatErrUnknown;
  const auto& strings = it->second.strings;
  if (i < 0 || static_cast<size_t>(i) >= strings.size()) return kOfxStatErrBadIndex;
  *v = const_cast<char*>(strings[static_cast<size_t>(i)].c_str());
  return kOfxStatOK;
}

OfxStatus PropertySet::Dimension(const char* n, int* count) const {
  if (n == nullptr || count == nullptr) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = values_.find(n);
  if (it == values_.end()) return kOfxStatErrUnknown;
  const Value& v = it->second;
  const size_t size = v.type == Type::kInt      ? v.ints.size()
                      : v.type == Type::kDouble ? v.doubles.size()
                      : v.type == Type::kString ? v.strings.size()
                                                : v.pointers.size();
  *count = static_cast<int>(size);
  return kOfxStatOK;
}

OfxStatus PropertySet::Reset(const char* n) {
  if (n == nullptr) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> lock(mutex_);
  return values_.erase(n) == 1 ? kOfxStatOK : kOfxStatErrUnknown;
}

void PropertySet::Remove(const char* n) { Reset(n); }

int PropertySet::Int(const std::string& n, int i, int fallback) const {
  int v = fallback;
  return GetInt(n.c_str(), i, &v) == kOfxStatOK ? v : fallback;
}
double PropertySet::Double(const std::string& n, int i, double fallback) const {
  double v = fallback;
  return GetDouble(n.c_str(), i, &v) == kOfxStatOK ? v : fallback;
}
std::string PropertySet::String(const std::string& n, int i) const {
  char* v = nullptr;
  return GetString(n.c_str(), i, &v) == kOfxStatOK ? std::string(v) : std::string();
}
std::vector<std::string> PropertySet::Strings(const std::string& n) const {
  int count = 0;
  std::vector<std::string> out;
  if (Dimension(n.c_str(), &count) != kOfxStatOK) return out;
  for (int i = 0; i < count; ++i) out.push_back(String(n, i));
  return out;
}
bool PropertySet::Has(const std::string& n) const {
  int count = 0;
  return Dimension(n.c_str(), &count) == kOfxStatOK;
}

namespace {

PropertySet* P(OfxPropertySetHandle h) { return PropertySet::Of(h); }

template <typename T, typename Setter>
OfxStatus SetN(OfxPropertySetHandle h, const char* n, int count, const T* values, Setter set) {
  if (h == nullptr) return kOfxStatErrBadHandle;
  if (values == nullptr || count < 0) return kOfxStatErrValue;
  for (int i = 0; i < count; ++i) {
    if (const OfxStatus s = (P(h)->*set)(n, i, values[i])) return s;
  }
  return kOfxStatOK;
}

template <typename T, typename Getter>
OfxStatus GetN(OfxPropertySetHandle h, const char* n, int count, T* values, Getter get) {
  if (h == nullptr) return kOfxStatErrBadHandle;
  if (values == nullptr || count < 0) return kOfxStatErrValue;
  for (int i = 0; i < count; ++i) {
    if (const OfxStatus s = (P(h)->*get)(n, i, &values[i])) return s;
  }
  return kOfxStatOK;
}

#define KELVRIX_CHECKED(call) (h == nullptr ? kOfxStatErrBadHandle : (call))

const OfxPropertySuiteV1 kSuite = {
    [](OfxPropertySetHandle h, const char* n, int i, void* v) {
      return KELVRIX_CHECKED(P(h)->SetPointer(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int i, const char* v) {
      return KELVRIX_CHECKED(P(h)->SetString(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int i, double v) {
      return KELVRIX_CHECKED(P(h)->SetDouble(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int i, int v) {
      return KELVRIX_CHECKED(P(h)->SetInt(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int c, void* const* v) {
      return SetN(h, n, c, v, &PropertySet::SetPointer);
    },
    [](OfxPropertySetHandle h, const char* n, int c, const char* const* v) {
      return SetN(h, n, c, v, &PropertySet::SetString);
    },
    [](OfxPropertySetHandle h, const char* n, int c, const double* v) {
      return SetN(h, n, c, v, &PropertySet::SetDouble);
    },
    [](OfxPropertySetHandle h, const char* n, int c, const int* v) {
      return SetN(h, n, c, v, &PropertySet::SetInt);
    },
    [](OfxPropertySetHandle h, const char* n, int i, void** v) {
      return KELVRIX_CHECKED(P(h)->GetPointer(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int i, char** v) {
      return KELVRIX_CHECKED(P(h)->GetString(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int i, double* v) {
      return KELVRIX_CHECKED(P(h)->GetDouble(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int i, int* v) {
      return KELVRIX_CHECKED(P(h)->GetInt(n, i, v));
    },
    [](OfxPropertySetHandle h, const char* n, int c, void** v) {
      return GetN(h, n, c, v, &PropertySet::GetPointer);
    },
    [](OfxPropertySetHandle h, const char* n, int c, char** v) {
      return GetN(h, n, c, v, &PropertySet::GetString);
    },
    [](OfxPropertySetHandle h, const char* n, int c, double* v) {
      return GetN(h, n, c, v, &PropertySet::GetDouble);
    },
    [](OfxPropertySetHandle h, const char* n, int c, int* v) {
      return GetN(h, n, c, v, &PropertySet::GetInt);
    },
    [](OfxPropertySetHandle h, const char* n) { return KELVRIX_CHECKED(P(h)->Reset(n)); },
    [](OfxPropertySetHandle h, const char* n, int* c) {
      return KELVRIX_CHECKED(P(h)->Dimension(n, c));
    },
};

#undef KELVRIX_CHECKED

}  // namespace

const OfxPropertySuiteV1* PropertySuite() { return &kSuite; }

}  // namespace kelvrix::ofxhost
