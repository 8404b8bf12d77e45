#include "plugin/LogCapture.h"

#include <atomic>
#include <iostream>
#include <mutex>

namespace kelvrix {
namespace {

thread_local std::streambuf* tCaptureTarget = nullptr;

// Unbuffered, so every write goes straight to the writing thread's own target.
class RoutingBuffer final : public std::streambuf {
 public:
  // Read by threads that are not capturing (host workers writing to std::cout) while the
  // first capture sets it, so it is atomic. It keeps its value after the last capture ends:
  // a writer that picked up the router just before then still reaches the right buffer.
  std::atomic<std::streambuf*> passThrough{nullptr};

 protected:
  int_type overflow(int_type ch) override {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    std::streambuf* target = Target();
    if (target == nullptr) return ch;  // std::cout had no buffer: the text is dropped
    return target->sputc(traits_type::to_char_type(ch));
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::streambuf* target = Target();
    return target == nullptr ? n : target->sputn(s, n);
  }
  int sync() override {
    std::streambuf* target = Target();
    return target == nullptr ? 0 : target->pubsync();
  }

 private:
  std::streambuf* Target() const {
    return tCaptureTarget != nullptr ? tCaptureTarget : passThrough.load(std::memory_order_acquire);
  }
};

struct CoutRouter {
  std::mutex mutex;
  int activeCaptures = 0;
  RoutingBuffer router;
};

CoutRouter& Router() {
  static CoutRouter instance;
  return instance;
}

}  // namespace

LogCapture::LogCapture() : outerCapture_(tCaptureTarget) {
  CoutRouter& r = Router();
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.activeCaptures++ == 0) {
      r.router.passThrough.store(std::cout.rdbuf(), std::memory_order_release);
      std::cout.rdbuf(&r.router);
    }
  }
  tCaptureTarget = &buffer_;
}

LogCapture::~LogCapture() {
  tCaptureTarget = outerCapture_;
  CoutRouter& r = Router();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (--r.activeCaptures == 0)
    std::cout.rdbuf(r.router.passThrough.load(std::memory_order_relaxed));
}

}  // namespace kelvrix
