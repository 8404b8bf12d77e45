#include "resources/PiPLProperties.h"

#include "plugin/Identity.h"

namespace kelvrix {
namespace {

using Kind = PiPLProperty::Kind;

constexpr uint32_t Code(const char (&code)[5]) {
  return static_cast<uint32_t>(PF_MultiCharCode(code));
}
constexpr uint32_t TwoShorts(A_long first, A_long second) {
  return static_cast<uint32_t>(static_cast<uint16_t>(first)) << 16 | static_cast<uint16_t>(second);
}

// Windows names the x64 entry point with a C string; the Mac names one per processor of a
// universal binary (Intel, Apple silicon) with Pascal strings, and a host running natively on
// either offers only effects that name an entry point for it.
void AddCodeProperties(PiPLPlatform platform, std::vector<PiPLProperty>& out) {
  if (platform == PiPLPlatform::kWindows) {
    out.push_back({Code("8664"), Kind::kCString, 0, kEntryPointName});
    return;
  }
  out.push_back({Code("mi64"), Kind::kPascalString, 0, kEntryPointName});
  out.push_back({Code("ma64"), Kind::kPascalString, 0, kEntryPointName});
}

}  // namespace

std::vector<PiPLProperty> PiPLProperties(PiPLPlatform platform) {
  std::vector<PiPLProperty> out{
      {Code("kind"), Kind::kLong, static_cast<uint32_t>(kPluginKind), nullptr},
      {Code("name"), Kind::kPascalString, 0, kDisplayName},
      {Code("catg"), Kind::kPascalString, 0, kCategory},
  };
  AddCodeProperties(platform, out);
  const std::vector<PiPLProperty> rest{
      {Code("ePVR"), Kind::kTwoShorts, TwoShorts(kPiPLVersionMajor, kPiPLVersionMinor), nullptr},
      {Code("eSVR"), Kind::kTwoShorts, TwoShorts(kApiVersionMajor, kApiVersionMinor), nullptr},
      {Code("eVER"), Kind::kLong, kPackedVersion, nullptr},
      {Code("eINF"), Kind::kShort, 0, nullptr},
      {Code("eGLO"), Kind::kLong, static_cast<uint32_t>(kGlobalOutFlags), nullptr},
      {Code("eGL2"), Kind::kLong, static_cast<uint32_t>(kGlobalOutFlags2), nullptr},
      {Code("eMNA"), Kind::kPascalString, 0, kMatchName},
      {Code("aeFL"), Kind::kLong, static_cast<uint32_t>(kPiPLReservedInfo), nullptr},
  };
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

}  // namespace kelvrix
