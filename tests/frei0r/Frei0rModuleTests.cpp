// kelvrix.so as a frei0r host sees it: loaded by path, its plug-in and parameter info, the
// instances it refuses, parameters read back as set, and independent instances updating at
// once on several threads.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <frei0r.h>
}

namespace {

class Module {
 public:
  Module() : handle_(dlopen(KELVRIX_FREI0R_MODULE, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) return;
    init = Get<decltype(init)>("f0r_init");
    deinit = Get<decltype(deinit)>("f0r_deinit");
    pluginInfo = Get<decltype(pluginInfo)>("f0r_get_plugin_info");
    paramInfo = Get<decltype(paramInfo)>("f0r_get_param_info");
    construct = Get<decltype(construct)>("f0r_construct");
    destruct = Get<decltype(destruct)>("f0r_destruct");
    setParam = Get<decltype(setParam)>("f0r_set_param_value");
    getParam = Get<decltype(getParam)>("f0r_get_param_value");
    update = Get<decltype(update)>("f0r_update");
  }
  ~Module() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  bool Loaded() const {
    return handle_ != nullptr && init && deinit && pluginInfo && paramInfo && construct &&
           destruct && setParam && getParam && update;
  }

  int (*init)() = nullptr;
  void (*deinit)() = nullptr;
  void (*pluginInfo)(f0r_plugin_info_t*) = nullptr;
  void (*paramInfo)(f0r_param_info_t*, int) = nullptr;
  f0r_instance_t (*construct)(unsigned, unsigned) = nullptr;
  void (*destruct)(f0r_instance_t) = nullptr;
  void (*setParam)(f0r_instance_t, f0r_param_t, int) = nullptr;
  void (*getParam)(f0r_instance_t, f0r_param_t, int) = nullptr;
  void (*update)(f0r_instance_t, double, const uint32_t*, uint32_t*) = nullptr;

 private:
  template <typename F>
  F Get(const char* name) {
    return reinterpret_cast<F>(dlsym(handle_, name));
  }
  void* handle_;
};

TEST(Frei0rModule, DescribesAnRgbaFilterWithTwoParameters) {
  Module m;
  ASSERT_TRUE(m.Loaded()) << dlerror();
  EXPECT_EQ(m.init(), 1);
  f0r_plugin_info_t info{};
  m.pluginInfo(&info);
  EXPECT_STREQ(info.name, "kelvrix");
  EXPECT_STREQ(info.author, "Torvendale");
  EXPECT_EQ(info.plugin_type, F0R_PLUGIN_TYPE_FILTER);
  EXPECT_EQ(info.color_model, F0R_COLOR_MODEL_RGBA8888);
  EXPECT_EQ(info.frei0r_version, 1);
  EXPECT_EQ(info.major_version, 1);
  EXPECT_EQ(info.minor_version, 1);
  EXPECT_EQ(info.num_params, 2);
  ASSERT_NE(info.explanation, nullptr);
  EXPECT_NE(std::string(info.explanation).find("heap memory"), std::string::npos);
  const struct {
    int index;
    const char* name;
    int type;
  } params[] = {{0, "size", F0R_PARAM_DOUBLE}, {1, "style", F0R_PARAM_STRING}};
  for (const auto& p : params) {
    f0r_param_info_t pi{};
    m.paramInfo(&pi, p.index);
    EXPECT_STREQ(pi.name, p.name);
    EXPECT_EQ(pi.type, p.type);
    EXPECT_NE(pi.explanation, nullptr);
  }
  f0r_param_info_t untouched{"x", 99, nullptr};
  m.paramInfo(&untouched, 2);
  m.paramInfo(&untouched, -1);
  EXPECT_EQ(untouched.type, 99);
  m.deinit();
}

TEST(Frei0rModule, RefusesFramesNoWorldCanHoldAndReadsParametersBackAsSet) {
  Module m;
  ASSERT_TRUE(m.Loaded()) << dlerror();
  EXPECT_EQ(m.construct(0, 64), nullptr);
  EXPECT_EQ(m.construct(64, 0), nullptr);
  EXPECT_EQ(m.construct(100000, 64), nullptr);
  EXPECT_EQ(m.construct(~0u, ~0u), nullptr);
  m.destruct(nullptr);
  f0r_instance_t instance = m.construct(64, 48);
  ASSERT_NE(instance, nullptr);
  double size = 0;
  char* style = nullptr;
  m.getParam(instance, &size, 0);
  m.getParam(instance, &style, 1);
  EXPECT_EQ(size, 0.15);
  EXPECT_STREQ(style, "zesty");
  size = 0.4;
  char tripping[] = "tripping";
  style = tripping;
  m.setParam(instance, &size, 0);
  m.setParam(instance, &style, 1);
  std::strcpy(tripping, "xxxxxxxx");  // the module keeps its own copy
  double sizeBack = 0;
  char* styleBack = nullptr;
  m.getParam(instance, &sizeBack, 0);
  m.getParam(instance, &styleBack, 1);
  EXPECT_EQ(sizeBack, 0.4);
  EXPECT_STREQ(styleBack, "tripping");
  m.setParam(instance, nullptr, 0);  // ignored
  m.setParam(instance, &size, 7);
  m.destruct(instance);
}

// Each thread its own instance, parameters and frames, as hosts run filters in parallel: every
// frame comes back whole (memory or card, alpha 255 over an opaque input).
TEST(Frei0rModule, InstancesUpdateAtOnceOnSeveralThreads) {
  Module m;
  ASSERT_TRUE(m.Loaded()) << dlerror();
  constexpr unsigned kW = 64, kH = 48;
  const char* styles[] = {"zesty", "cloudy", "tripping", "16"};
  std::vector<std::thread> threads;
  std::vector<int> badFrames(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      f0r_instance_t instance = m.construct(kW, kH);
      if (instance == nullptr) {
        badFrames[t] = -1;
        return;
      }
      double size = 0.02 + 0.01 * t;
      char* style = const_cast<char*>(styles[t]);
      m.setParam(instance, &size, 0);
      m.setParam(instance, &style, 1);
      std::vector<uint32_t> in(kW * kH, 0xFF336699u), out(kW * kH);
      for (int f = 0; f < 3; ++f) {
        std::fill(out.begin(), out.end(), 0x00CDCDCDu);
        m.update(instance, f / 25.0, in.data(), out.data());
        for (uint32_t p : out) {
          if ((p >> 24) != 0xFF) {
            ++badFrames[t];
            break;
          }
        }
      }
      m.destruct(instance);
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(badFrames[t], 0) << t;
}

}  // namespace
