#include "ofx/OfxRender.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "edition/EditionFrame.h"
#include "ofx/OfxHostAccess.h"
#include "ofx/OfxImage.h"
#include "ofx/OfxInstance.h"
#include "ofx/OfxPixelMap.h"
#include "ofx/OfxRowRunner.h"

namespace kelvrix::ofx {
namespace {

// A world of the frame taken from the instance's pool and given back on every way out.
class OwnedWorld {
 public:
  explicit OwnedWorld(WorldPool& pool) : pool_(pool) {}
  ~OwnedWorld() { pool_.Give(&world_); }
  OwnedWorld(const OwnedWorld&) = delete;
  OwnedWorld& operator=(const OwnedWorld&) = delete;
  PF_Err Allocate(const OfxRectI& frame, PF_PixelFormat format, bool clear) {
    return pool_.Take(frame.x2 - frame.x1, frame.y2 - frame.y1, format, clear, &world_);
  }
  PF_EffectWorld* get() { return &world_; }

 private:
  WorldPool& pool_;
  PF_EffectWorld world_{};
};

bool Covers(const OfxRectI& outer, const OfxRectI& inner) {
  return outer.x1 <= inner.x1 && outer.y1 <= inner.y1 && outer.x2 >= inner.x2 &&
         outer.y2 >= inner.y2;
}

bool RenderableFrame(const OfxRectI& frame) {
  const long long width = static_cast<long long>(frame.x2) - frame.x1;
  const long long height = static_cast<long long>(frame.y2) - frame.y1;
  return width > 0 && height > 0 && width <= PF_MAX_WORLD_WIDTH && height <= PF_MAX_WORLD_HEIGHT;
}

OfxStatus StatusOf(PF_Err err) {
  switch (err) {
    case PF_Err_NONE:
      return kOfxStatOK;
    case PF_Err_OUT_OF_MEMORY:
      return kOfxStatErrMemory;
    default:
      return kOfxStatFailed;  // PF_Interrupt_CANCEL among them: the host dropped the frame
  }
}

PF_Err RunPass(const edition::RowRunner& runner, PixelPass& pass) {
  return runner.run(runner.context, pass.rows(), pass.row, &pass);
}

// The output handed to the host row by row as the core's last pass over each row finishes it,
// while the row is in cache: a pass of its own over the whole frame cost a third to nine tenths
// of an After Effects frame. When the core renders straight into the host's image the row is
// converted where it lies, which leaves no second copy of the frame to write at all. Rows no
// pixel pass wrote (outside the output's extent) follow in a pass over what is left.
struct ExportAsWritten {
  PixelPass pass;
  bool inPlace = false;       // a row converted twice would be garbage
  std::vector<uint8_t> done;  // per row of pass.area; each written by one thread only
};

PF_Err ExportWrittenRow(void* context, A_long worldRow) {
  auto& e = *static_cast<ExportAsWritten*>(context);
  const int y = e.pass.frame.y2 - 1 - worldRow;  // the world's rows run top-down
  if (y < e.pass.area.y1 || y >= e.pass.area.y2) return PF_Err_NONE;
  const A_long row = y - e.pass.area.y1;
  uint8_t& done = e.done[static_cast<size_t>(row)];
  if (done != 0 && e.inPlace) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  done = 1;
  return e.pass.row(&e.pass, 0, row);
}

PF_Err ExportRemainingRow(void* context, A_long thread, A_long row) {
  auto& e = *static_cast<ExportAsWritten*>(context);
  return e.done[static_cast<size_t>(row)] != 0 ? PF_Err_NONE : e.pass.row(&e.pass, thread, row);
}

struct RenderArgs {
  OfxTime time = 0;
  OfxRectI window{};
};

OfxStatus ReadArgs(OfxPropertySetHandle inArgs, RenderArgs* args) {
  const OfxPropertySuiteV1& p = *Suites().property;
  int window[4];
  if (inArgs == nullptr || p.propGetDouble(inArgs, kOfxPropTime, 0, &args->time) != kOfxStatOK ||
      p.propGetIntN(inArgs, kOfxImageEffectPropRenderWindow, 4, window) != kOfxStatOK) {
    return kOfxStatErrBadHandle;
  }
  args->window = OfxRectI{window[0], window[1], window[2], window[3]};
  return kOfxStatOK;
}

// The source in a world of the frame's size, made when the core first reads it: only the
// card does, so memory frames skip the conversion.
struct SourceImport {
  PixelPass pass;
  bool covered = false;  // the source's pixels cover the frame
  edition::RowRunner runner;
};

PF_Err FillFromSource(void* context, PF_EffectWorld* input) {
  auto& import = *static_cast<SourceImport*>(context);
  if (!import.covered) {
    std::memset(input->data, 0, static_cast<size_t>(input->rowbytes) * input->height);
  }
  return RunPass(import.runner, import.pass);
}

// Fetches the source and sets the frame's input up (none when the clip has no image there:
// the card then has nothing behind its text).
OfxStatus SetUpSource(const InstanceData& data, const RenderArgs& args, const ImageView& output,
                      FetchedImage& source, OwnedWorld& world, SourceImport& import,
                      edition::EditionFrame& frame) {
  const OfxStatus fetched = source.Fetch(data.source, args.time);
  if (fetched == kOfxStatFailed) return kOfxStatOK;
  if (fetched != kOfxStatOK) return fetched;
  if (source.view().format != output.format) return kOfxStatErrImageFormat;
  if (world.Allocate(output.frame, output.format, /*clear=*/false)) return kOfxStatErrMemory;
  import.pass = ImportPass(source.view(), output.frame, world.get());
  import.covered = Covers(source.view().bounds, output.frame);
  import.runner = frame.rows;
  frame.input = world.get();
  frame.inputFill = edition::InputFill{FillFromSource, &import};
  return kOfxStatOK;
}

}  // namespace

OfxStatus Render(OfxImageEffectHandle instance, OfxPropertySetHandle inArgs) {
  InstanceData* data = DataOf(instance);
  if (data == nullptr) return kOfxStatErrBadHandle;
  RenderArgs args;
  if (const OfxStatus status = ReadArgs(inArgs, &args)) return status;
  ParamValues params;
  if (const OfxStatus status = ReadParams(*data, args.time, &params)) return status;

  FetchedImage output;
  if (const OfxStatus status = output.Fetch(data->output, args.time)) return status;
  const ImageView& out = output.view();
  if (!RenderableFrame(out.frame)) return kOfxStatFailed;

  const OfxMultiThreadSuiteV1* threads = Suites().multiThread;
  OfxImageEffectHandle abortHandle = instance;
  edition::EditionFrame frame;
  frame.size = params.size;
  frame.style = params.style;
  frame.format = out.format;
  frame.abort = HostAbortCheck(&abortHandle);
  frame.rows = HostRowRunner(&threads);
  FetchedImage source;
  OwnedWorld inputWorld(data->worlds);
  SourceImport import;
  if (const OfxStatus status = SetUpSource(*data, args, out, source, inputWorld, import, frame)) {
    return status;
  }

  // The whole frame is rendered: the picture and the card are laid out on it, whatever part
  // of it this call writes. Into the host's image itself when the window is the frame, else
  // into a world of ours copied out over the window.
  OwnedWorld outputWorld(data->worlds);
  PF_EffectWorld imageWorld{};
  ExportAsWritten exported;
  exported.inPlace = InPlaceOutput(out, args.window, &imageWorld, &exported.pass);
  if (exported.inPlace) {
    frame.output = &imageWorld;
  } else {
    if (outputWorld.Allocate(out.frame, out.format, /*clear=*/false)) return kOfxStatErrMemory;
    frame.output = outputWorld.get();
    exported.pass = ExportPass(out, out.frame, args.window, outputWorld.get());
  }
  exported.done.assign(static_cast<size_t>(exported.pass.rows()), 0);
  frame.outputRows = edition::OutputRows{ExportWrittenRow, &exported};
  const edition::EditionResult result = edition::RenderEditionFrame(frame);
  if (result.err != PF_Err_NONE) return StatusOf(result.err);
  // As a rule every row was told of: no pass over the rows, no threads woken.
  if (std::find(exported.done.begin(), exported.done.end(), 0) == exported.done.end()) {
    return kOfxStatOK;
  }
  return StatusOf(
      frame.rows.run(frame.rows.context, exported.pass.rows(), ExportRemainingRow, &exported));
}

}  // namespace kelvrix::ofx
