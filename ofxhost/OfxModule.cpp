#include "ofxhost/OfxModule.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kelvrix::ofxhost {
namespace {

#ifdef _WIN32
constexpr const char* kArch = "Win64";
constexpr char kSeparator = '\\';
void* Open(const std::string& path) { return LoadLibraryA(path.c_str()); }
void* Symbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void Close(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
std::string LastError() { return "LoadLibrary error " + std::to_string(GetLastError()); }
#else
constexpr const char* kArch = "Linux-x86-64";
constexpr char kSeparator = '/';
void* Open(const std::string& path) { return dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL); }
void* Symbol(void* library, const char* name) { return dlsym(library, name); }
void Close(void* library) { dlclose(library); }
std::string LastError() {
  const char* e = dlerror();
  return e != nullptr ? e : "dlopen failed";
}
#endif

template <typename Fn>
Fn As(void* symbol) {
  return reinterpret_cast<Fn>(symbol);
}

}  // namespace

OfxModule OfxModule::Linked(CountFn count, GetFn get, SetHostFn setHost) {
  OfxModule m;
  m.count_ = count;
  m.get_ = get;
  m.setHost_ = setHost;
  return m;
}

std::string OfxModule::BinaryInBundle(const std::string& bundle) {
  std::string dir = bundle;
  while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  const size_t slash = dir.find_last_of("/\\");
  std::string name = slash == std::string::npos ? dir : dir.substr(slash + 1);
  const std::string suffix = ".bundle";
  if (name.size() > suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    name.resize(name.size() - suffix.size());
  }
  return dir + kSeparator + "Contents" + kSeparator + kArch + kSeparator + name;
}

OfxModule OfxModule::Load(const std::string& path) {
  OfxModule m;
  m.library_ = Open(path);
  if (m.library_ == nullptr) {
    m.error_ = path + ": " + LastError();
    return m;
  }
  m.count_ = As<CountFn>(Symbol(m.library_, "OfxGetNumberOfPlugins"));
  m.get_ = As<GetFn>(Symbol(m.library_, "OfxGetPlugin"));
  m.setHost_ = As<SetHostFn>(Symbol(m.library_, "OfxSetHost"));
  if (!m.ok()) m.error_ = path + ": OfxGetNumberOfPlugins or OfxGetPlugin not exported";
  return m;
}

OfxModule::OfxModule(OfxModule&& other) noexcept
    : library_(other.library_),
      count_(other.count_),
      get_(other.get_),
      setHost_(other.setHost_),
      error_(std::move(other.error_)) {
  other.library_ = nullptr;
}

OfxModule::~OfxModule() {
  if (library_ != nullptr) Close(library_);
}

}  // namespace kelvrix::ofxhost
