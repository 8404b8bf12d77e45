"""The Windows package: the zip holds kelvrix.aex (stripped), the OpenFX bundle (kelvrix.ofx,
stripped, and its icon), the README, both licence notices and the install note, and the
packaged DLLs pass the same PE checks as the built ones.

Usage: /usr/bin/python3 check_package.py <kelvrix-VERSION-win64.zip>
"""

import os
import subprocess
import sys
import tempfile
import zipfile

OFX = "kelvrix.ofx.bundle/Contents/Win64/kelvrix.ofx"
EXPECTED = {"kelvrix.aex", "README.md", "LICENSE.txt", "OpenSans-LICENSE-Apache-2.0.txt",
            "INSTALL.txt", OFX, "kelvrix.ofx.bundle/Contents/Resources/com.torvendale.kelvrix.png"}


def main(path):
    top = os.path.basename(path)[: -len(".zip")]
    with zipfile.ZipFile(path) as package:
        names = {n for n in package.namelist() if not n.endswith("/")}
        expected = {f"{top}/{name}" for name in EXPECTED}
        if names != expected:
            sys.exit(f"package holds {sorted(names)}, expected {sorted(expected)}")
        licence = package.read(f"{top}/LICENSE.txt").decode()
        if "Apache License" not in licence or "Version 2.0, January 2004" not in licence:
            sys.exit("LICENSE.txt in the package is not the Apache License 2.0")
        with tempfile.TemporaryDirectory() as scratch:
            aex = package.extract(f"{top}/kelvrix.aex", scratch)
            ofx = package.extract(f"{top}/{OFX}", scratch)
            print(f"packaged kelvrix.aex: {os.path.getsize(aex)} bytes (stripped)")
            print(f"packaged kelvrix.ofx: {os.path.getsize(ofx)} bytes (stripped)")
            here = os.path.dirname(os.path.abspath(__file__))
            return (subprocess.call([sys.executable, os.path.join(here, "check_aex.py"), aex])
                    or subprocess.call([sys.executable, os.path.join(here, "check_ofx.py"), ofx]))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
