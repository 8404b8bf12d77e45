"""kelvrix-<version>-macos.zip as a Mac would unpack it, and every byte in it a Mac host reads:
the bundles' layouts, their Info.plist and PkgInfo, the PiPL's resource file (check_rsrc.py's
tests, on the file in the zip), and each universal binary read back by readers that did not
write it.

Usage: /usr/bin/python3 check_package.py <kelvrix-VERSION-macos.zip> [unittest options]
"""

import os
import plistlib
import stat
import sys
import tempfile
import unittest
import zipfile

import check_rsrc
import machofile
# The shipped resource file gets the same checks as the writer's output in the plain suite.
from check_rsrc import ResourceFileTests  # noqa: F401 (run by unittest.main)

ZIP = None
VERSION = "1.1.0"
TOP = f"kelvrix-{VERSION}-macos/"

PLUGIN_FILES = {"Contents/Info.plist", "Contents/PkgInfo", "Contents/MacOS/kelvrix",
                "Contents/Resources/kelvrix.rsrc"}
OFX_FILES = {"Contents/Info.plist", "Contents/MacOS/kelvrix.ofx",
             "Contents/Resources/com.torvendale.kelvrix.png"}
DOCUMENTS = {"README.md", "LICENSE.txt", "OpenSans-LICENSE-Apache-2.0.txt", "INSTALL-macOS.txt",
             "install.command"}

PLUGIN_EXPORTS = {"_EffectMain", "_PluginDataEntryFunction"}
OFX_EXPORTS = {"_OfxGetNumberOfPlugins", "_OfxGetPlugin", "_OfxSetHost"}

MH_DYLIB, MH_BUNDLE = 0x6, 0x8
MACOS_11 = 11 << 16
LC_LOAD_DYLIB = 0xC
CS_LINKER_SIGNED = 0x20000


class MacPackageTests(unittest.TestCase):
    @classmethod
    def unpack(cls):
        """Unpacks the zip once, for every test of the run; returns its top folder."""
        if not hasattr(cls, "scratch"):
            cls.scratch = tempfile.TemporaryDirectory()
            with zipfile.ZipFile(ZIP) as z:
                cls.entries = {info.filename: info for info in z.infolist()}
                z.extractall(cls.scratch.name)
            cls.root = os.path.join(cls.scratch.name, TOP)
        return cls.root

    @classmethod
    def setUpClass(cls):
        cls.unpack()

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def files_under(self, prefix):
        return {name[len(TOP + prefix):] for name in self.entries
                if name.startswith(TOP + prefix) and not name.endswith("/")}

    def mode(self, name):
        return self.entries[TOP + name].external_attr >> 16

    # The archive

    def test_holds_both_bundles_the_documents_and_nothing_else(self):
        files = {name[len(TOP):] for name in self.entries if not name.endswith("/")}
        expected = ({"kelvrix.plugin/" + f for f in PLUGIN_FILES}
                    | {"kelvrix.ofx.bundle/" + f for f in OFX_FILES} | DOCUMENTS)
        self.assertEqual(files, expected)

    def test_keeps_unix_modes_so_binaries_and_the_script_stay_executable(self):
        for name in ("kelvrix.plugin/Contents/MacOS/kelvrix",
                     "kelvrix.ofx.bundle/Contents/MacOS/kelvrix.ofx", "install.command"):
            self.assertTrue(stat.S_ISREG(self.mode(name)), name)
            self.assertEqual(self.mode(name) & 0o777, 0o755, name)
        self.assertEqual(self.mode("kelvrix.plugin/Contents/Info.plist") & 0o111, 0)

    # kelvrix.plugin

    def test_plugin_info_plist_and_pkginfo(self):
        with open(self.path("kelvrix.plugin/Contents/Info.plist"), "rb") as f:
            info = plistlib.load(f)
        self.assertEqual(
            {k: info.get(k) for k in ("CFBundlePackageType", "CFBundleSignature",
                                      "CFBundleExecutable", "CFBundleIdentifier",
                                      "CFBundleShortVersionString", "CFBundleVersion",
                                      "LSMinimumSystemVersion", "CFBundleInfoDictionaryVersion")},
            {"CFBundlePackageType": "eFKT", "CFBundleSignature": "FXTC",
             "CFBundleExecutable": "kelvrix", "CFBundleIdentifier": "com.torvendale.kelvrix",
             "CFBundleShortVersionString": VERSION, "CFBundleVersion": VERSION,
             "LSMinimumSystemVersion": "11.0", "CFBundleInfoDictionaryVersion": "6.0"})
        with open(self.path("kelvrix.plugin/Contents/PkgInfo"), "rb") as f:
            self.assertEqual(f.read(), b"eFKTFXTC")

    def test_plugin_binary(self):
        self.check_binary("kelvrix.plugin/Contents/MacOS/kelvrix", PLUGIN_EXPORTS)

    # kelvrix.ofx.bundle

    def test_ofx_info_plist(self):
        with open(self.path("kelvrix.ofx.bundle/Contents/Info.plist"), "rb") as f:
            info = plistlib.load(f)
        self.assertEqual((info["CFBundlePackageType"], info["CFBundleExecutable"]),
                         ("BNDL", "kelvrix.ofx"))
        self.assertEqual(info["CFBundleVersion"], VERSION)
        self.assertIn("CFBundleInfoDictionaryVersion", info)
        self.assertIn("CFBundleDevelopmentRegion", info)

    def test_ofx_bundle_holds_no_windows_or_linux_binary(self):
        self.assertEqual(self.files_under("kelvrix.ofx.bundle/"), OFX_FILES)

    def test_ofx_binary(self):
        self.check_binary("kelvrix.ofx.bundle/Contents/MacOS/kelvrix.ofx", OFX_EXPORTS)

    # What a Mac's loader and codesign read of a universal binary

    def check_binary(self, name, entry_points):
        path = self.path(name)
        self.assertEqual(sorted(machofile.fat_architectures(path)), ["arm64", "x86_64"])
        slices = machofile.read_slices(path)
        self.assertEqual(sorted(s.arch for s in slices), ["arm64", "x86_64"])
        for piece in slices:
            with self.subTest(binary=name, arch=piece.arch):
                self.check_slice(piece, entry_points)

    def check_slice(self, piece, entry_points):
        self.assertIn(piece.filetype(), (MH_DYLIB, MH_BUNDLE))
        self.assertEqual(piece.build_version(), (machofile.PLATFORM_MACOS, MACOS_11))
        self.assertEqual(piece.dylibs(), [(LC_LOAD_DYLIB, "/usr/lib/libSystem.B.dylib")])
        self.assertLessEqual(entry_points, set(piece.exported_names()))
        # The symbol table's external symbols of our own code are the entry points alone.
        external = set(piece.external_symbols())
        self.assertLessEqual(entry_points, external)
        ours = {n for n in external if n.startswith(("__ZN7kelvrix", "_Ofx", "_Effect",
                                                     "_PluginData", "_kelvrix", "_Embedded"))}
        self.assertEqual(ours, entry_points)
        # Room for the signature's load command that codesign adds on the user's Mac.
        self.assertGreaterEqual(piece.header_free_bytes(), 1024)
        directory = piece.code_directory()
        if piece.arch == "arm64":
            self.check_signature(piece, directory)

    def check_signature(self, piece, directory):
        """Apple silicon runs only signed code: an ad-hoc signature whose every page hash is the
        hash of the slice's bytes, covering everything before the signature itself."""
        self.assertIsNotNone(directory, "arm64 slice carries no signature")
        self.assertEqual(directory.magic, machofile.CSMAGIC_CODEDIRECTORY)
        self.assertTrue(directory.flags & machofile.CS_ADHOC)
        self.assertEqual((directory.hash_type, directory.hash_size),
                         (machofile.CS_HASHTYPE_SHA256, 32))
        self.assertEqual(directory.code_limit, directory.signature_offset)
        pages = -(-directory.code_limit // directory.page_size)
        self.assertEqual(directory.code_slots, pages)
        self.assertEqual(directory.bad_pages(piece.data), [])


if __name__ == "__main__":
    ZIP = sys.argv.pop(1)
    check_rsrc.PATH = os.path.join(MacPackageTests.unpack(), "kelvrix.plugin", "Contents",
                                   "Resources", "kelvrix.rsrc")
    unittest.main()
