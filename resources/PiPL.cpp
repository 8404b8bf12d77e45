#include "resources/PiPL.h"

#include <cstring>

#include "hostapi/EffectConstants.h"
#include "resources/ByteWriter.h"
#include "resources/PiPLProperties.h"

namespace kelvrix {
namespace {

// Where the platforms' layouts differ. Both: u32 list version 0, u32 property count, then per
// property the vendor '8BIM', the key, u32 id 0, u32 length and the data zero-filled to a
// multiple of 4. Four-character codes are written as integers, so on Windows 'kind' reads
// "dnik" in the file.
struct PiPLLayout {
  bool little_endian;
  bool leading_word;        // Windows' resource compiler puts a u16 1 in front
  bool strings_count_fill;  // Windows counts a string's zero fill in its length
};
constexpr PiPLLayout kWindowsLayout{true, true, true};
constexpr PiPLLayout kMacLayout{false, false, false};

class PiPLWriter {
 public:
  explicit PiPLWriter(const PiPLLayout& layout) : layout_(layout), out_(layout.little_endian) {}

  std::vector<uint8_t> Write(const std::vector<PiPLProperty>& properties) {
    if (layout_.leading_word) out_.U16(1);
    out_.U32(0);
    out_.U32(static_cast<uint32_t>(properties.size()));
    for (const PiPLProperty& property : properties) Property(property);
    return out_.Take();
  }

 private:
  void FillFrom(size_t data_at) { out_.Zeros((4 - (out_.size() - data_at) % 4) % 4); }

  void Property(const PiPLProperty& property) {
    out_.U32(static_cast<uint32_t>(PF_MultiCharCode("8BIM")));
    out_.U32(property.key);
    out_.U32(0);
    const size_t length_at = out_.size();
    out_.U32(0);  // the length, known once the data is written
    const size_t data_at = out_.size();
    Data(property);
    const bool is_string = property.kind == PiPLProperty::Kind::kPascalString ||
                           property.kind == PiPLProperty::Kind::kCString;
    if (is_string && layout_.strings_count_fill) FillFrom(data_at);
    const size_t length = out_.size() - data_at;
    FillFrom(data_at);
    out_.PatchU32(length_at, static_cast<uint32_t>(length));
  }

  void Data(const PiPLProperty& property) {
    switch (property.kind) {
      case PiPLProperty::Kind::kLong:
        return out_.U32(property.number);
      case PiPLProperty::Kind::kTwoShorts:
        out_.U16(property.number >> 16);
        return out_.U16(property.number & 0xFFFFu);
      case PiPLProperty::Kind::kShort:
        return out_.U16(property.number & 0xFFFFu);
      case PiPLProperty::Kind::kPascalString:
        out_.U8(static_cast<uint32_t>(std::strlen(property.text)));
        return Characters(property.text);
      case PiPLProperty::Kind::kCString:
        Characters(property.text);
        return out_.U8(0);
    }
  }
  void Characters(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) out_.U8(static_cast<unsigned char>(*c));
  }

  PiPLLayout layout_;
  ByteWriter out_;
};

}  // namespace

std::vector<uint8_t> BuildPiPL() {
  return PiPLWriter(kWindowsLayout).Write(PiPLProperties(PiPLPlatform::kWindows));
}

std::vector<uint8_t> BuildMacPiPL() {
  return PiPLWriter(kMacLayout).Write(PiPLProperties(PiPLPlatform::kMacOS));
}

}  // namespace kelvrix
