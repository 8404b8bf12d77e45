#include "resources/PiPL.h"

#include <cstring>
#include <utility>

#include "hostapi/EffectConstants.h"
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
  explicit PiPLWriter(const PiPLLayout& layout) : layout_(layout) {}

  std::vector<uint8_t> Write(const std::vector<PiPLProperty>& properties) {
    if (layout_.leading_word) U16(1);
    U32(0);
    U32(static_cast<uint32_t>(properties.size()));
    for (const PiPLProperty& property : properties) Property(property);
    return std::move(bytes_);
  }

 private:
  void U16(uint32_t v) {
    const auto low = static_cast<uint8_t>(v);
    const auto high = static_cast<uint8_t>(v >> 8);
    bytes_.push_back(layout_.little_endian ? low : high);
    bytes_.push_back(layout_.little_endian ? high : low);
  }
  void U32(uint32_t v) {
    U16(layout_.little_endian ? v & 0xFFFFu : v >> 16);
    U16(layout_.little_endian ? v >> 16 : v & 0xFFFFu);
  }
  void FillFrom(size_t data_at) {
    while ((bytes_.size() - data_at) % 4 != 0) bytes_.push_back(0);
  }

  void Property(const PiPLProperty& property) {
    U32(static_cast<uint32_t>(PF_MultiCharCode("8BIM")));
    U32(property.key);
    U32(0);
    const size_t length_at = bytes_.size();
    U32(0);  // the length, known once the data is written
    const size_t data_at = bytes_.size();
    Data(property);
    const bool is_string = property.kind == PiPLProperty::Kind::kPascalString ||
                           property.kind == PiPLProperty::Kind::kCString;
    if (is_string && layout_.strings_count_fill) FillFrom(data_at);
    const size_t length = bytes_.size() - data_at;
    FillFrom(data_at);
    PatchLength(length_at, static_cast<uint32_t>(length));
  }

  void Data(const PiPLProperty& property) {
    switch (property.kind) {
      case PiPLProperty::Kind::kLong:
        return U32(property.number);
      case PiPLProperty::Kind::kTwoShorts:
        U16(property.number >> 16);
        return U16(property.number & 0xFFFFu);
      case PiPLProperty::Kind::kShort:
        return U16(property.number & 0xFFFFu);
      case PiPLProperty::Kind::kPascalString:
        bytes_.push_back(static_cast<uint8_t>(std::strlen(property.text)));
        return Characters(property.text);
      case PiPLProperty::Kind::kCString:
        Characters(property.text);
        bytes_.push_back(0);
        return;
    }
  }
  void Characters(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) bytes_.push_back(static_cast<uint8_t>(*c));
  }

  void PatchLength(size_t at, uint32_t length) {
    PiPLWriter field(layout_);
    field.U32(length);
    std::memcpy(bytes_.data() + at, field.bytes_.data(), 4);
  }

  PiPLLayout layout_;
  std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> BuildPiPL() {
  return PiPLWriter(kWindowsLayout).Write(PiPLProperties(PiPLPlatform::kWindows));
}

std::vector<uint8_t> BuildMacPiPL() {
  return PiPLWriter(kMacLayout).Write(PiPLProperties(PiPLPlatform::kMacOS));
}

}  // namespace kelvrix
