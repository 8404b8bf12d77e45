// Collects what one EffectMain call writes to std::cout, so it can go to the debugger as one
// message. The host may run calls on several threads at once, so std::cout is pointed at a
// router while any call is active: each capturing thread's writes land in its own buffer,
// other threads' writes pass through to the buffer std::cout had before. The first call to
// start attaches the router; the last to end puts the earlier buffer back.
#pragma once

#include <sstream>
#include <string>

namespace kelvrix {

class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Everything this thread wrote to std::cout since the capture began.
  std::string Text() const { return buffer_.str(); }

 private:
  std::stringbuf buffer_;
  std::streambuf* outerCapture_;  // an enclosing capture on the same thread, if any
};

}  // namespace kelvrix
