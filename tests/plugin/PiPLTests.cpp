// The PiPL resource against a byte table written out by hand from the resource's layout
// (not produced by the code under test).
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "resources/PiPL.h"

namespace {

// clang-format off
const uint8_t kExpectedPiPL[] = {
  0x01, 0x00,  0x00, 0x00, 0x00, 0x00,  0x0C, 0x00, 0x00, 0x00,  // word 1, version 0, 12 props
  // kind: 'eFKT'
  'M','I','B','8', 'd','n','i','k', 0,0,0,0, 4,0,0,0,  'T','K','F','e',
  // name: Pascal "kelvrix", length 8
  'M','I','B','8', 'e','m','a','n', 0,0,0,0, 8,0,0,0,  7,'k','e','l','v','r','i','x',
  // catg: Pascal "Torvendale" + 1 zero, length 12
  'M','I','B','8', 'g','t','a','c', 0,0,0,0, 12,0,0,0, 10,'T','o','r','v','e','n','d','a','l','e',0,
  // 8664: "EffectMain" + 2 zeros, length 12
  'M','I','B','8', '4','6','6','8', 0,0,0,0, 12,0,0,0, 'E','f','f','e','c','t','M','a','i','n',0,0,
  // ePVR: 2, 0
  'M','I','B','8', 'R','V','P','e', 0,0,0,0, 4,0,0,0,  2,0, 0,0,
  // eSVR: 13, 27
  'M','I','B','8', 'R','V','S','e', 0,0,0,0, 4,0,0,0,  13,0, 27,0,
  // eVER: 0x00088001
  'M','I','B','8', 'R','E','V','e', 0,0,0,0, 4,0,0,0,  0x01,0x80,0x08,0x00,
  // eINF: 16-bit 0, length 2, two padding bytes
  'M','I','B','8', 'F','N','I','e', 0,0,0,0, 2,0,0,0,  0,0, 0,0,
  // eGLO: 0x06000444
  'M','I','B','8', 'O','L','G','e', 0,0,0,0, 4,0,0,0,  0x44,0x04,0x00,0x06,
  // eGL2: 0x08001408
  'M','I','B','8', '2','L','G','e', 0,0,0,0, 4,0,0,0,  0x08,0x14,0x00,0x08,
  // eMNA: Pascal "Torvendalekelvrix" + 2 zeros, length 20
  'M','I','B','8', 'A','N','M','e', 0,0,0,0, 20,0,0,0,
    17,'T','o','r','v','e','n','d','a','l','e','k','e','l','v','r','i','x',0,0,
  // aeFL: 0
  'M','I','B','8', 'L','F','e','a', 0,0,0,0, 4,0,0,0,  0,0,0,0,
};
// clang-format on

}  // namespace

TEST(PiPL, IsByteForByteTheExpectedTable) {
  static_assert(sizeof kExpectedPiPL == 286, "the table itself is 286 bytes");
  EXPECT_EQ(kelvrix::BuildPiPL(),
            std::vector<uint8_t>(std::begin(kExpectedPiPL), std::end(kExpectedPiPL)));
}
