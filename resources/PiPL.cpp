#include "resources/PiPL.h"

#include <cstring>
#include <string>

#include "plugin/Identity.h"

namespace kelvrix {
namespace {

// Layout: u16 1, u32 list version 0, u32 property count, then the properties. Each property:
// vendor '8BIM', key, u32 id 0, u32 length, data zero-padded to a multiple of 4 (the padding
// is not counted in the length). Four-character codes are stored as little-endian values
// of their big-endian code, so 'kind' reads "dnik" in the file.
class PiPLWriter {
 public:
  void U16(uint32_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFFu);
    U16(v >> 16);
  }
  void Code(const char (&code)[5]) { U32(static_cast<uint32_t>(PF_MultiCharCode(code))); }

  void Property(const char (&key)[5], const std::vector<uint8_t>& data) {
    Code("8BIM");
    Code(key);
    U32(0);
    U32(static_cast<uint32_t>(data.size()));
    for (uint8_t byte : data) bytes_.push_back(byte);
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    ++count_;
  }

  std::vector<uint8_t> Finish() {
    PiPLWriter header;
    header.U16(1);
    header.U32(0);
    header.U32(count_);
    for (uint8_t byte : bytes_) header.bytes_.push_back(byte);
    return header.bytes_;
  }

 private:
  std::vector<uint8_t> bytes_;
  uint32_t count_ = 0;
};

std::vector<uint8_t> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

std::vector<uint8_t> TwoShorts(A_short a, A_short b) {
  const auto ua = static_cast<uint16_t>(a);
  const auto ub = static_cast<uint16_t>(b);
  return {static_cast<uint8_t>(ua), static_cast<uint8_t>(ua >> 8), static_cast<uint8_t>(ub),
          static_cast<uint8_t>(ub >> 8)};
}

// A Pascal string (length byte, characters) zero-filled to the next multiple of 4; the
// filled length is the property's length.
std::vector<uint8_t> PascalString(const char* text) {
  const size_t n = std::strlen(text);
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(n));
  for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(text[i]));
  while (out.size() % 4 != 0) out.push_back(0);
  return out;
}

// A C string with its terminator, zero-filled to the next multiple of 4.
std::vector<uint8_t> CString(const char* text) {
  std::vector<uint8_t> out(text, text + std::strlen(text) + 1);
  while (out.size() % 4 != 0) out.push_back(0);
  return out;
}

}  // namespace

std::vector<uint8_t> BuildPiPL() {
  PiPLWriter pipl;
  pipl.Property("kind", Le32(static_cast<uint32_t>(kPluginKind)));
  pipl.Property("name", PascalString(kDisplayName));
  pipl.Property("catg", PascalString(kCategory));
  pipl.Property("8664", CString(kEntryPointName));
  pipl.Property("ePVR", TwoShorts(kPiPLVersionMajor, kPiPLVersionMinor));
  pipl.Property("eSVR", TwoShorts(static_cast<A_short>(kApiVersionMajor),
                                  static_cast<A_short>(kApiVersionMinor)));
  pipl.Property("eVER", Le32(kPackedVersion));
  pipl.Property("eINF", {0, 0});
  pipl.Property("eGLO", Le32(static_cast<uint32_t>(kGlobalOutFlags)));
  pipl.Property("eGL2", Le32(static_cast<uint32_t>(kGlobalOutFlags2)));
  pipl.Property("eMNA", PascalString(kMatchName));
  pipl.Property("aeFL", Le32(static_cast<uint32_t>(kPiPLReservedInfo)));
  return pipl.Finish();
}

}  // namespace kelvrix
