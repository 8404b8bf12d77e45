"""The built kelvrix.aex read by a PE reader we did not write (Debian's python3-pefile).

Usage: /usr/bin/python3 check_aex.py <path/to/kelvrix.aex> [unittest options]
"""

import struct
import sys
import unittest

import pefile

PE = None

# The PiPL resource, written out by hand from its layout: u16 1, u32 list version 0, u32
# property count, then per property the vendor '8BIM' and the key as little-endian values of
# their four-character codes (so the bytes read backwards), u32 id 0, u32 length, and the
# data zero-padded to a multiple of 4.
def _prop(key, data):
    padding = b"\0" * (-len(data) % 4)
    return b"MIB8" + key[::-1] + b"\0\0\0\0" + struct.pack("<I", len(data)) + data + padding

EXPECTED_PIPL = (
    b"\x01\x00" + b"\0\0\0\0" + b"\x0c\0\0\0"
    + _prop(b"kind", b"TKFe")
    + _prop(b"name", b"\x07kelvrix")
    + _prop(b"catg", b"\x0aTorvendale\0")
    + _prop(b"8664", b"EffectMain\0\0")
    + _prop(b"ePVR", b"\x02\x00\x00\x00")
    + _prop(b"eSVR", b"\x0d\x00\x1b\x00")
    + _prop(b"eVER", b"\x01\x80\x08\x00")
    + _prop(b"eINF", b"\x00\x00")
    + _prop(b"eGLO", b"\x44\x04\x00\x06")
    + _prop(b"eGL2", b"\x08\x14\x00\x08")
    + _prop(b"eMNA", b"\x11Torvendalekelvrix\0\0")
    + _prop(b"aeFL", b"\0\0\0\0")
)
assert len(EXPECTED_PIPL) == 286

# DLLs every Windows installation has. Anything else — above all the MinGW runtime
# (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) — would have to ship beside the plug-in.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll", "ucrtbase.dll",
               "ntdll.dll", "shell32.dll", "ole32.dll", "bcrypt.dll", "ws2_32.dll"}


def is_system_dll(name):
    name = name.lower()
    return name in SYSTEM_DLLS or name.startswith("api-ms-win-")


class AexTests(unittest.TestCase):
    def test_is_a_64_bit_pe32_plus_dll_exporting_exactly_the_two_entry_points(self):
        self.assertEqual((PE.FILE_HEADER.Machine, PE.OPTIONAL_HEADER.Magic), (0x8664, 0x20B))
        self.assertTrue(PE.is_dll())
        exports = PE.DIRECTORY_ENTRY_EXPORT
        self.assertEqual(sorted((s.name, s.forwarder) for s in exports.symbols),
                         [(b"EffectMain", None), (b"PluginDataEntryFunction", None)])
        self.assertEqual(PE.get_string_at_rva(exports.struct.Name), b"kelvrix.aex")

    def test_imports_only_dlls_that_come_with_windows(self):
        imports = {entry.dll.decode().lower(): [i.name for i in entry.imports]
                   for entry in getattr(PE, "DIRECTORY_ENTRY_IMPORT", [])}
        self.assertEqual([d for d in imports if not is_system_dll(d)], [])
        self.assertFalse(hasattr(PE, "DIRECTORY_ENTRY_DELAY_IMPORT"))
        # debugger messages go through kernel32's OutputDebugStringA
        self.assertIn(b"OutputDebugStringA", imports["kernel32.dll"])

    def test_holds_one_pipl_with_id_16000_in_us_english_byte_for_byte(self):
        # one resource type named PIPL, stored upper-cased
        (pipl,) = [t for t in PE.DIRECTORY_ENTRY_RESOURCE.entries if str(t.name) == "PIPL"]
        self.assertEqual([(e.name, e.id) for e in pipl.directory.entries], [(None, 16000)])
        languages = pipl.directory.entries[0].directory.entries
        self.assertEqual([lang.id for lang in languages], [1033])
        entry = languages[0].data.struct
        self.assertEqual(PE.get_data(entry.OffsetToData, entry.Size), EXPECTED_PIPL)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    PE = pefile.PE(sys.argv.pop(1))
    unittest.main(verbosity=2)
