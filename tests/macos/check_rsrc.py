"""A Mac resource file holding kelvrix's PiPL, decoded by a reader written from the formats and
compared property by property with what a Mac host must read, written out here by hand.

Usage: /usr/bin/python3 check_rsrc.py <kelvrix.rsrc> [unittest options]
"""

import struct
import sys
import unittest

from resourcefile import read_pipl_properties, read_resources

PATH = None


def pascal(text):
    return bytes([len(text)]) + text.encode()


# Big-endian whatever the Mac's processor; strings are Pascal strings, and a property's length
# counts its data without the zero fill. A universal binary names its entry point for Intel
# (mi64) and for Apple silicon (ma64).
EXPECTED = [
    ("kind", b"eFKT"),
    ("name", pascal("kelvrix")),
    ("catg", pascal("Torvendale")),
    ("mi64", pascal("EffectMain")),
    ("ma64", pascal("EffectMain")),
    ("ePVR", struct.pack(">HH", 2, 0)),
    ("eSVR", struct.pack(">HH", 13, 27)),
    ("eVER", struct.pack(">I", 0x00088001)),
    ("eINF", struct.pack(">H", 0)),
    ("eGLO", struct.pack(">I", 0x06000444)),
    ("eGL2", struct.pack(">I", 0x08001408)),
    ("eMNA", pascal("Torvendalekelvrix")),
    ("aeFL", struct.pack(">I", 0)),
]


class ResourceFileTests(unittest.TestCase):
    def setUp(self):
        with open(PATH, "rb") as f:
            self.data = f.read()
        self.resources = read_resources(self.data)

    def test_holds_one_unnamed_pipl_resource_with_id_16000(self):
        self.assertEqual(list(self.resources), [("PiPL", 16000)])
        name, attributes, _ = self.resources[("PiPL", 16000)]
        self.assertEqual((name, attributes), (None, 0))

    def test_header_is_where_a_resource_manager_looks(self):
        data_offset, map_offset, data_length, map_length = struct.unpack_from(">IIII", self.data)
        self.assertEqual((data_offset, map_offset), (256, 256 + data_length))
        self.assertEqual(self.data[16:256], b"\0" * 240)
        self.assertEqual(map_length, 50)  # one type, one reference, no names

    def test_pipl_properties_are_the_expected_ones_in_order(self):
        properties = read_pipl_properties(self.resources[("PiPL", 16000)][2])
        self.assertEqual([key for key, _ in properties], [key for key, _ in EXPECTED])
        for (key, got), (_, want) in zip(properties, EXPECTED):
            self.assertEqual(got, want, key)


if __name__ == "__main__":
    PATH = sys.argv.pop(1)
    unittest.main()
