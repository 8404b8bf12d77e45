// Each heap's charge for a block, worked out by hand from how that heap lays blocks out: glibc's
// chunks and mapping threshold, the NT heap as measured under Wine, libmalloc's size classes and
// pages. The Linux and Windows figures are also checked against the live heap elsewhere; the Mac's
// can only be checked here.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "render/HeapBlockCost.h"

namespace {

using kelvrix::GlibcHeapBytesFor;
using kelvrix::LibmallocHeapBytesFor;
using kelvrix::WindowsHeapBytesFor;

constexpr size_t kKiB = 1024;
constexpr size_t kMiB = 1024 * kKiB;

struct Charge {
  size_t bytes;
  size_t held;
};

void ExpectCharges(size_t (*rule)(size_t), std::initializer_list<Charge> table) {
  for (const Charge& row : table) EXPECT_EQ(rule(row.bytes), row.held) << row.bytes << " bytes";
}

TEST(HeapBlockCost, Glibc) {
  ExpectCharges(GlibcHeapBytesFor, {
                                       {0, 32},
                                       {24, 32},  // the header fits the smallest chunk
                                       {25, 48},
                                       {128 * kKiB - 24, 128 * kKiB - 16},  // last in the heap
                                       {128 * kKiB - 16, 132 * kKiB},       // mapped: whole pages
                                       {SIZE_MAX, SIZE_MAX},
                                   });
}

TEST(HeapBlockCost, Windows) {
  ExpectCharges(WindowsHeapBytesFor, {
                                         {0, 48},
                                         {40, 64},
                                         {1016 * kKiB - 1, 1016 * kKiB + 16},
                                         {1016 * kKiB, 1 * kMiB},  // own 64 KiB reservations
                                         {SIZE_MAX, SIZE_MAX},
                                     });
}

TEST(HeapBlockCost, Libmalloc) {
  ExpectCharges(LibmallocHeapBytesFor, {
                                           {0, 16},  // malloc(0) takes one tiny quantum
                                           {1, 16},
                                           {17, 32},
                                           {1008, 1008},  // the largest tiny block
                                           {1009, 1024},  // small: 512-byte quanta
                                           {32 * kKiB, 32 * kKiB},
                                           {32 * kKiB + 1, 64 * kKiB},  // medium: 32 KiB quanta
                                           {3 * kMiB + 1, 3 * kMiB + 32 * kKiB},
                                           {8 * kMiB, 8 * kMiB},
                                           {8 * kMiB + 1, 8 * kMiB + 16 * kKiB},  // 16 KiB pages
                                           {SIZE_MAX, SIZE_MAX},
                                       });
}

}  // namespace
