"""A Mac resource file (resources in the data fork), read from the format as Inside Macintosh
defines it: a 16-byte header (data offset, map offset, data length, map length), the data area of
length-prefixed resources, and the map: a copy of the header, reserved fields, the offsets of the
type list and the name list, the type list (count - 1; per type its code, count - 1 and the offset
of its references from the type list) and the references (id, name offset, attributes, 24-bit
data offset, reserved handle). Big-endian throughout.
"""

import struct


class ResourceFileError(ValueError):
    pass


def read_resources(data):
    """{(type, id): (name or None, attributes, bytes)} for every resource in the file."""
    if len(data) < 16:
        raise ResourceFileError("shorter than the header")
    data_offset, map_offset, data_length, map_length = struct.unpack_from(">IIII", data, 0)
    if data_offset + data_length > len(data) or map_offset + map_length != len(data):
        raise ResourceFileError("header does not match the file's size")
    resource_map = data[map_offset:]
    if resource_map[:16] != data[:16]:
        raise ResourceFileError("the map's copy of the header differs")
    type_list, name_list = struct.unpack_from(">HH", resource_map, 24)
    (type_count,) = struct.unpack_from(">H", resource_map, type_list)
    resources = {}
    for t in range(type_count + 1):
        code, count, refs = struct.unpack_from(">4sHH", resource_map, type_list + 2 + 8 * t)
        for r in range(count + 1):
            at = type_list + refs + 12 * r
            rid, name_at, attributes, offset_high, offset_low, handle = struct.unpack_from(
                ">hHBBHI", resource_map, at)
            if handle != 0:
                raise ResourceFileError("a reference's reserved handle is not 0")
            offset = offset_high << 16 | offset_low
            (length,) = struct.unpack_from(">I", data, data_offset + offset)
            start = data_offset + offset + 4
            if start + length > data_offset + data_length:
                raise ResourceFileError("a resource runs past the data area")
            name = None
            if name_at != 0xFFFF:
                n = resource_map[name_list + name_at]
                name = resource_map[name_list + name_at + 1:name_list + name_at + 1 + n].decode()
            resources[(code.decode("mac_roman"), rid)] = (name, attributes, data[start:start + length])
    return resources


def read_pipl_properties(pipl):
    """A big-endian PiPL as (key, data) pairs: u32 version 0, u32 count, then per property the
    vendor '8BIM', key, u32 id, u32 length, data and zero fill to a multiple of 4."""
    version, count = struct.unpack_from(">II", pipl, 0)
    if version != 0:
        raise ResourceFileError("PiPL list version is not 0")
    at, properties = 8, []
    for _ in range(count):
        vendor, key, pid, length = struct.unpack_from(">4s4sII", pipl, at)
        if vendor != b"8BIM" or pid != 0:
            raise ResourceFileError(f"property {key!r}: vendor {vendor!r}, id {pid}")
        at += 16
        fill = -length % 4
        if pipl[at + length:at + length + fill] != b"\0" * fill:
            raise ResourceFileError(f"property {key!r}: fill is not zero")
        properties.append((key.decode(), pipl[at:at + length]))
        at += length + fill
    if at != len(pipl):
        raise ResourceFileError("bytes after the last property")
    return properties
