"""The Windows package: the zip holds kelvrix.aex (stripped), the README, both licence notices
and the install note, and the packaged DLL passes the same PE checks as the built one.

Usage: /usr/bin/python3 check_package.py <kelvrix-VERSION-win64.zip>
"""

import os
import subprocess
import sys
import tempfile
import zipfile

EXPECTED = {"kelvrix.aex", "README.md", "LICENSE.txt", "OpenSans-LICENSE-Apache-2.0.txt",
            "INSTALL.txt"}


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
            print(f"packaged kelvrix.aex: {os.path.getsize(aex)} bytes (stripped)")
            checks = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_aex.py")
            return subprocess.call([sys.executable, checks, aex])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
