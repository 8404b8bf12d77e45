#include "resources/ResourceFile.h"

#include "resources/ByteWriter.h"

namespace kelvrix {
namespace {

constexpr uint32_t kDataOffset = 256;  // after the header and the system and application areas
constexpr uint16_t kTypeListOffset = 28;
constexpr uint16_t kNoName = 0xFFFF;

// The map: a copy of the header, the next-map handle, the file reference and attributes, the
// offsets of the type list and the (empty) name list, then the type list (count - 1, one entry:
// type, count - 1, offset of its reference list from the type list) and the one reference (id,
// name offset, attributes, 24-bit data offset, handle).
constexpr uint32_t kMapLength = 28 + 2 + 8 + 12;

void Header(ByteWriter& out, uint32_t data_length) {
  out.U32(kDataOffset);
  out.U32(kDataOffset + data_length);
  out.U32(data_length);
  out.U32(kMapLength);
}

}  // namespace

std::vector<uint8_t> BuildResourceFile(uint32_t type, int16_t id,
                                       const std::vector<uint8_t>& data) {
  const auto data_length = static_cast<uint32_t>(4 + data.size());
  ByteWriter out(/*little_endian=*/false);
  Header(out, data_length);
  out.Zeros(kDataOffset - 16);
  out.U32(static_cast<uint32_t>(data.size()));
  out.Bytes(data);

  Header(out, data_length);
  out.U32(0);  // next map
  out.U16(0);  // file reference
  out.U16(0);  // attributes
  out.U16(kTypeListOffset);
  out.U16(kMapLength);  // the name list starts, empty, where the map ends
  out.U16(0);           // one type
  out.U32(type);
  out.U16(0);      // one resource of it
  out.U16(2 + 8);  // its references follow the type list
  out.U16(static_cast<uint16_t>(id));
  out.U16(kNoName);
  out.U8(0);   // attributes
  out.U24(0);  // offset of its data in the data area
  out.U32(0);  // handle
  return out.Take();
}

}  // namespace kelvrix
