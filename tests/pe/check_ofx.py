"""The built Windows kelvrix.ofx read by a PE reader we did not write (Debian's python3-pefile):
the same checks as kelvrix.aex's, for the OpenFX entry points.

Usage: /usr/bin/python3 check_ofx.py <path/to/kelvrix.ofx> [unittest options]
"""

import sys
import unittest

import pefile

from check_aex import is_system_dll

PE = None


class OfxTests(unittest.TestCase):
    def test_is_a_64_bit_pe32_plus_dll_exporting_exactly_the_three_entry_points(self):
        self.assertEqual((PE.FILE_HEADER.Machine, PE.OPTIONAL_HEADER.Magic), (0x8664, 0x20B))
        self.assertTrue(PE.is_dll())
        exports = PE.DIRECTORY_ENTRY_EXPORT
        self.assertEqual(sorted((s.name, s.forwarder) for s in exports.symbols),
                         [(b"OfxGetNumberOfPlugins", None), (b"OfxGetPlugin", None),
                          (b"OfxSetHost", None)])
        self.assertEqual(PE.get_string_at_rva(exports.struct.Name), b"kelvrix.ofx")

    def test_imports_only_dlls_that_come_with_windows(self):
        imports = [entry.dll.decode().lower()
                   for entry in getattr(PE, "DIRECTORY_ENTRY_IMPORT", [])]
        self.assertEqual([d for d in imports if not is_system_dll(d)], [])
        self.assertFalse(hasattr(PE, "DIRECTORY_ENTRY_DELAY_IMPORT"))

    def test_carries_no_after_effects_resource(self):
        types = [str(t.name) for t in getattr(PE, "DIRECTORY_ENTRY_RESOURCE", None).entries] \
            if hasattr(PE, "DIRECTORY_ENTRY_RESOURCE") else []
        self.assertNotIn("PIPL", types)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    PE = pefile.PE(sys.argv.pop(1))
    unittest.main(verbosity=2)
