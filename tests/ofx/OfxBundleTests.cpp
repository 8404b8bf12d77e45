// kelvrix.ofx as an OpenFX host loads it from its bundle: the scan (Load, Describe, Unload,
// Load, Describe), what it declares, an instance and its preferences and regions, renders at
// every depth with either row order, windows, scales and threads, and the defined answers
// to hosts that lack something or send what was not declared. Built for Linux and, under
// Wine, for Windows against the Windows bundle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ofxapi/OfxApi.h"
#include "ofxhost/SimOfxHost.h"

using kelvrix::ofxhost::HostImage;
using kelvrix::ofxhost::OfxHostOptions;
using kelvrix::ofxhost::OfxModule;
using kelvrix::ofxhost::PropertySet;
using kelvrix::ofxhost::SimOfxHost;

namespace {

// The bundle built beside the tests, or an installed one named in the environment.
OfxModule Bundle() {
  const char* installed = std::getenv("KELVRIX_OFX_BUNDLE_UNDER_TEST");
  const std::string bundle = installed != nullptr ? installed : KELVRIX_OFX_BUNDLE;
  OfxModule module = OfxModule::Load(OfxModule::BinaryInBundle(bundle));
  EXPECT_TRUE(module.ok()) << module.error();
  return module;
}

// Load, describe, describe in a context and create an instance, as a host does on first use.
::testing::AssertionResult UpAndRunning(SimOfxHost& host,
                                        const char* context = kOfxImageEffectContextFilter) {
  const OfxStatus steps[] = {host.Load(), host.Describe(), host.DescribeInContext(context),
                             host.CreateInstance(context)};
  for (OfxStatus s : steps) {
    if (s != kOfxStatOK) return ::testing::AssertionFailure() << "status " << s;
  }
  return ::testing::AssertionSuccess();
}

int WhiteOf(const std::string& depth) { return depth == kOfxBitDepthShort ? 65535 : 255; }

// The alpha of pixel (x, y) as a fraction of white.
double AlphaAt(HostImage& image, int x, int y) {
  const uint8_t* p = image.Pixel(x, y);
  if (image.depth() == kOfxBitDepthFloat) {
    float a;
    std::memcpy(&a, p + 12, 4);
    return a;
  }
  if (image.depth() == kOfxBitDepthShort) {
    uint16_t a;
    std::memcpy(&a, p + 6, 2);
    return a / double(WhiteOf(image.depth()));
  }
  return p[3] / 255.0;
}

bool Untouched(HostImage& image, int x, int y) {
  const uint8_t* p = image.Pixel(x, y);
  for (int i = 0; i < image.pixelBytes(); ++i) {
    if (p[i] != 0xCD) return false;
  }
  return true;
}

TEST(OfxBundle, ExportsOnePluginRecordThatNamesTheEffect) {
  OfxModule module = Bundle();
  ASSERT_TRUE(module.ok());
  EXPECT_EQ(module.Count(), 1);
  EXPECT_NE(module.setHost(), nullptr);
  EXPECT_EQ(module.Plugin(1), nullptr);
  EXPECT_EQ(module.Plugin(-1), nullptr);
  const OfxPlugin* p = module.Plugin(0);
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p->pluginApi, "OfxImageEffectPluginAPI");
  EXPECT_EQ(p->apiVersion, 1);
  EXPECT_STREQ(p->pluginIdentifier, "com.torvendale.kelvrix");
  EXPECT_EQ(p->pluginVersionMajor, 1u);
  EXPECT_EQ(p->pluginVersionMinor, 1u);
  EXPECT_NE(p->setHost, nullptr);
  EXPECT_NE(p->mainEntry, nullptr);
}

TEST(OfxBundle, AScanDescribesTheSameEffectBeforeAndAfterAnUnload) {
  OfxHostOptions options;
  options.callOfxSetHost = false;  // the reference host never calls it
  SimOfxHost host(Bundle(), options);
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_EQ(host.Load(), kOfxStatOK) << pass;
    ASSERT_EQ(host.Describe(), kOfxStatOK) << pass;
    const PropertySet& d = host.descriptor().props;
    EXPECT_EQ(d.String(kOfxPropLabel), "kelvrix");
    EXPECT_EQ(d.String(kOfxImageEffectPluginPropGrouping), "Torvendale");
    EXPECT_EQ(
        d.Strings(kOfxImageEffectPropSupportedContexts),
        (std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(d.Strings(kOfxImageEffectPropSupportedPixelDepths),
              (std::vector<std::string>{kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat}));
    EXPECT_EQ(d.String(kOfxImageEffectPluginRenderThreadSafety), kOfxImageEffectRenderFullySafe);
    EXPECT_EQ(d.Int(kOfxImageEffectPropSupportsTiles), 0);
    EXPECT_EQ(d.Int(kOfxImageEffectPluginPropHostFrameThreading, 0, -1), 0);
    EXPECT_EQ(d.Int(kOfxImageEffectPropSupportsMultipleClipDepths, 0, -1), 0);
    EXPECT_EQ(d.Int(kOfxPropVersion, 0), 1);
    EXPECT_EQ(d.Int(kOfxPropVersion, 1), 1);
    if (pass == 0) {
      EXPECT_EQ(host.Unload(), kOfxStatOK);
    }
  }
}

TEST(OfxBundle, EachContextGetsSourceOutputSizeAndStyle) {
  SimOfxHost host(Bundle());
  ASSERT_EQ(host.Load(), kOfxStatOK);
  ASSERT_EQ(host.Describe(), kOfxStatOK);
  for (const char* context : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}) {
    ASSERT_EQ(host.DescribeInContext(context), kOfxStatOK) << context;
    auto& clips = host.contextDescriptor()->clips;
    ASSERT_EQ(clips.size(), 2u);
    for (const char* clip : {"Source", "Output"}) {
      EXPECT_EQ(clips.at(clip)->props.Strings(kOfxImageEffectPropSupportedComponents),
                std::vector<std::string>{kOfxImageComponentRGBA});
      // Whole frames only: each render searches anew, tiles would show different pictures.
      EXPECT_EQ(clips.at(clip)->props.Int(kOfxImageEffectPropSupportsTiles, 0, -1), 0) << clip;
    }
    auto& params = host.contextDescriptor()->params;
    ASSERT_EQ(params.order, (std::vector<std::string>{"size", "style"}));
    const PropertySet& size = params.params.at("size")->props;
    EXPECT_EQ(params.params.at("size")->type, kOfxParamTypeDouble);
    EXPECT_EQ(size.String(kOfxPropLabel), "Size");
    const struct {
      const char* name;
      double value;
    } doubles[] = {{kOfxParamPropDefault, 150},
                   {kOfxParamPropMin, 1},
                   {kOfxParamPropMax, 1000},
                   {kOfxParamPropDisplayMin, 1},
                   {kOfxParamPropDisplayMax, 500}};
    for (const auto& d : doubles) EXPECT_EQ(size.Double(d.name, 0, -1), d.value) << d.name;
    EXPECT_EQ(size.Int(kOfxParamPropDigits, 0, -1), 0);
    EXPECT_EQ(size.Int(kOfxParamPropAnimates, 0, -1), 1);
    const PropertySet& style = params.params.at("style")->props;
    EXPECT_EQ(params.params.at("style")->type, kOfxParamTypeChoice);
    EXPECT_EQ(style.String(kOfxPropLabel), "Style (Bit Depth)");
    EXPECT_EQ(style.Strings(kOfxParamPropChoiceOption),
              (std::vector<std::string>{"Zesty (8 bpc)", "Cloudy (16 bpc)", "Tripping (32 bpc)"}));
    EXPECT_EQ(style.Int(kOfxParamPropDefault, 0, -1), 0);
    EXPECT_EQ(style.Int(kOfxParamPropAnimates, 0, -1), 0);
  }
  EXPECT_EQ(host.DescribeInContext(kOfxImageEffectContextGenerator), kOfxStatErrMissingHostFeature);
}

TEST(OfxBundle, TheOutputFollowsTheSourceDepthOverTheSourceRegion) {
  const struct {
    const char* depth;
    const char* preferred;
  } cases[] = {{kOfxBitDepthByte, kOfxBitDepthByte},
               {kOfxBitDepthShort, kOfxBitDepthShort},
               {kOfxBitDepthFloat, kOfxBitDepthFloat},
               {kOfxBitDepthHalf, kOfxBitDepthFloat}};
  for (const auto& c : cases) {
    OfxHostOptions options;
    options.depth = c.depth;
    SimOfxHost host(Bundle(), options);
    ASSERT_TRUE(UpAndRunning(host));
    PropertySet prefs;
    ASSERT_EQ(host.ClipPreferences(&prefs), kOfxStatOK);
    EXPECT_EQ(prefs.String("OfxImageClipPropDepth_Output"), c.preferred) << c.depth;
    EXPECT_EQ(prefs.String("OfxImageClipPropDepth_Source"), c.preferred) << c.depth;
    EXPECT_EQ(prefs.String("OfxImageClipPropComponents_Output"), kOfxImageComponentRGBA);
    // New memory every frame, over a still source too.
    EXPECT_EQ(prefs.Int(kOfxImageEffectFrameVarying, 0, -1), 1);
    OfxRectD rod{};
    ASSERT_EQ(host.RegionOfDefinition(0, 1.0, &rod), kOfxStatOK);
    EXPECT_EQ(std::vector<double>({rod.x1, rod.y1, rod.x2, rod.y2}),
              std::vector<double>({0, 0, 320, 180}));
  }
  OfxHostOptions unconnected;
  unconnected.sourceConnected = false;
  SimOfxHost host(Bundle(), unconnected);
  ASSERT_TRUE(UpAndRunning(host, kOfxImageEffectContextGeneral));
  OfxRectD rod{};
  EXPECT_EQ(host.RegionOfDefinition(0, 1.0, &rod), kOfxStatReplyDefault);
}

// Every depth with either row order, the whole frame or a window of it: the window is
// written (opaque: the picture has full alpha, the card lies over an opaque source), the rest
// of the image is not, and every image is given back.
TEST(OfxBundle, RendersWriteExactlyTheWindowAtEveryDepthAndRowOrder) {
  const OfxRectI kWindows[] = {{0, 0, 0, 0}, {40, 30, 200, 100}};
  for (const char* depth : {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat}) {
    for (bool topDown : {false, true}) {
      OfxHostOptions options;
      options.depth = depth;
      options.topDown = topDown;
      options.rowPadding = 12;
      SimOfxHost host(Bundle(), options);
      ASSERT_TRUE(UpAndRunning(host));
      for (const OfxRectI& w : kWindows) {
        SimOfxHost::RenderRequest request;
        request.window = w;
        auto r = host.Render(request);
        ASSERT_EQ(r.status, kOfxStatOK) << depth << topDown;
        const bool whole = w.x2 == 0;
        for (int y = 0; y < 180; y += 7) {
          for (int x = 0; x < 320; x += 5) {
            const bool inside = whole || (x >= w.x1 && x < w.x2 && y >= w.y1 && y < w.y2);
            if (inside) {
              ASSERT_EQ(AlphaAt(r.output, x, y), 1.0) << depth << topDown << x << "," << y;
            } else {
              ASSERT_TRUE(Untouched(r.output, x, y)) << depth << topDown << x << "," << y;
            }
          }
        }
        EXPECT_EQ(host.LiveImages(), 0);
        EXPECT_EQ(host.ImagesFetched() % 2, 0);
      }
    }
  }
}

TEST(OfxBundle, HalfScaleAndTilesRenderTheirOwnPixels) {
  SimOfxHost host(Bundle());
  ASSERT_TRUE(UpAndRunning(host));
  SimOfxHost::RenderRequest half;
  half.scale = 0.5;
  auto r = host.Render(half);
  ASSERT_EQ(r.status, kOfxStatOK);
  EXPECT_EQ(r.output.width(), 160);
  EXPECT_EQ(r.output.height(), 90);
  EXPECT_EQ(AlphaAt(r.output, 159, 89), 1.0);
  SimOfxHost::RenderRequest tile;
  tile.window = OfxRectI{100, 50, 164, 114};
  tile.tile = true;  // the output image holds only the window
  auto t = host.Render(tile);
  ASSERT_EQ(t.status, kOfxStatOK);
  EXPECT_EQ(AlphaAt(t.output, 100, 50), 1.0);
  EXPECT_EQ(AlphaAt(t.output, 163, 113), 1.0);
}

// A window without pixels asks for nothing: the render succeeds and writes nothing.
TEST(OfxBundle, AnEmptyWindowIsASuccessfulRenderThatWritesNothing) {
  SimOfxHost host(Bundle());
  ASSERT_TRUE(UpAndRunning(host));
  for (const OfxRectI window : {OfxRectI{50, 40, 50, 90}, OfxRectI{10, 60, 200, 60}}) {
    SimOfxHost::RenderRequest request;
    request.window = window;
    request.emptyWindow = true;
    auto r = host.Render(request);
    EXPECT_EQ(r.status, kOfxStatOK) << window.x1;
    for (int y = 0; y < 180; y += 9) {
      for (int x = 0; x < 320; x += 9) ASSERT_TRUE(Untouched(r.output, x, y)) << x << "," << y;
    }
    EXPECT_EQ(host.LiveImages(), 0);
  }
}

TEST(OfxBundle, RowsGoThroughTheMultithreadSuiteOrTheCallerWithoutIt) {
  for (unsigned threads : {0u, 1u, 3u}) {
    OfxHostOptions options;
    options.threads = threads;
    SimOfxHost host(Bundle(), options);
    ASSERT_TRUE(UpAndRunning(host));
    auto r = host.Render({});
    EXPECT_EQ(r.status, kOfxStatOK) << threads;
    EXPECT_EQ(AlphaAt(r.output, 319, 179), 1.0) << threads;
    if (threads == 0) {
      EXPECT_EQ(host.SpawnCalls(), 0);
    } else {
      EXPECT_GT(host.SpawnCalls(), 0);
    }
  }
}

TEST(OfxBundle, AHostWithoutARequiredSuiteIsToldWhyAtLoad) {
  for (const char* suite : {kOfxPropertySuite, kOfxImageEffectSuite, kOfxParameterSuite}) {
    OfxHostOptions options;
    options.missingSuites = {suite};
    SimOfxHost host(Bundle(), options);
    EXPECT_EQ(host.Load(), kOfxStatErrMissingHostFeature) << suite;
    EXPECT_EQ(host.Describe(), kOfxStatErrMissingHostFeature) << suite;
    const auto said = host.Messages();
    ASSERT_EQ(said.size(), 1u) << suite;
    EXPECT_NE(said[0].find(suite), std::string::npos) << said[0];
    EXPECT_EQ(said[0].rfind(kOfxMessageError, 0), 0u) << said[0];
  }
  OfxHostOptions silent;
  silent.missingSuites = {kOfxImageEffectSuite, kOfxMessageSuite};
  SimOfxHost host(Bundle(), silent);
  EXPECT_EQ(host.Load(), kOfxStatErrMissingHostFeature);
  EXPECT_TRUE(host.Messages().empty());
}

TEST(OfxBundle, ImagesOfUndeclaredLayoutsFailWithImageFormatAndAreGivenBack) {
  const struct {
    const char* depth;
    const char* components;
  } cases[] = {{kOfxBitDepthHalf, kOfxImageComponentRGBA},
               {kOfxBitDepthByte, kOfxImageComponentRGB},
               {kOfxBitDepthFloat, kOfxImageComponentAlpha}};
  for (const auto& c : cases) {
    OfxHostOptions options;
    options.depth = c.depth;
    options.components = c.components;
    SimOfxHost host(Bundle(), options);
    ASSERT_TRUE(UpAndRunning(host));
    EXPECT_EQ(host.Render({}).status, kOfxStatErrImageFormat) << c.depth << c.components;
    EXPECT_EQ(host.LiveImages(), 0);
  }
}

TEST(OfxBundle, NoSourceImageStillRendersAndAnAbortStopsTheRender) {
  OfxHostOptions options;
  options.sourceConnected = false;
  options.imageScaleProps = false;  // as Resolve's images
  SimOfxHost host(Bundle(), options);
  ASSERT_TRUE(UpAndRunning(host, kOfxImageEffectContextGeneral));
  auto r = host.Render({});
  EXPECT_EQ(r.status, kOfxStatOK);
  EXPECT_FALSE(Untouched(r.output, 0, 0));
  EXPECT_EQ(host.Action(kOfxActionPurgeCaches, nullptr, nullptr), kOfxStatOK);
  host.ArmAbort(true);
  EXPECT_EQ(host.Render({}).status, kOfxStatFailed);
  EXPECT_GT(host.AbortCalls(), 0);
  EXPECT_EQ(host.LiveImages(), 0);
  EXPECT_EQ(host.DestroyInstance(), kOfxStatOK);
  EXPECT_EQ(host.Unload(), kOfxStatOK);
}

// Fully safe: renders of one instance on several threads at once, each with the host's
// threads for its rows.
TEST(OfxBundleConcurrency, SeveralRenderThreadsShareOneInstance) {
  SimOfxHost host(Bundle());
  ASSERT_TRUE(UpAndRunning(host));
  std::vector<OfxStatus> statuses(4, kOfxStatFailed);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < statuses.size(); ++i) {
    threads.emplace_back([&, i] {
      SimOfxHost::RenderRequest request;
      request.time = double(i);
      request.window = OfxRectI{0, int(i) * 45, 320, int(i) * 45 + 45};
      statuses[i] = host.Render(request).status;
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(statuses, std::vector<OfxStatus>(4, kOfxStatOK));
  EXPECT_EQ(host.LiveImages(), 0);
}

}  // namespace
