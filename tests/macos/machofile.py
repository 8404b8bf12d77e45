"""What a Mac host's loader reads of a universal Mach-O file, read the way it reads it.

Load commands come from Debian's python3-macholib. The export trie, the symbol table and the
code signature are read here, from the formats as Apple's loader and codesign define them (mach-o
loader.h, cs_blobs.h); nothing here shares code with what wrote the file.
"""

import hashlib
import struct

from macholib import mach_o
from macholib.MachO import MachO

LC_CODE_SIGNATURE = 0x1D
LC_DYLD_INFO_ONLY = 0x80000022
LC_DYLD_EXPORTS_TRIE = 0x80000033
LC_BUILD_VERSION = 0x32
DYLIB_COMMANDS = {0xC, 0x18 | 0x80000000, 0x1F | 0x80000000, 0x20, 0x23 | 0x80000000}
PLATFORM_MACOS = 1

CSMAGIC_EMBEDDED_SIGNATURE = 0xFADE0CC0
CSMAGIC_CODEDIRECTORY = 0xFADE0C02
CSSLOT_CODEDIRECTORY = 0
CS_HASHTYPE_SHA256 = 2
CS_ADHOC = 0x2

N_EXT, N_PEXT, N_TYPE, N_SECT, N_STAB = 0x01, 0x10, 0x0E, 0x0E, 0xE0

ARCH_NAMES = {0x01000007: "x86_64", 0x0100000C: "arm64"}


def uleb128(data, at):
    value, shift = 0, 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


class Slice:
    """One architecture of the file: its header and commands (macholib) and its bytes."""

    def __init__(self, header, data):
        self.header = header
        self.data = data  # this slice's bytes only; file offsets in it start at 0
        self.arch = ARCH_NAMES.get(header.header.cputype)

    def commands(self, kind):
        return [(cmd, extra) for lc, cmd, extra in self.header.commands if lc.cmd == kind]

    def filetype(self):
        return self.header.header.filetype

    def build_version(self):
        (cmd, _), = self.commands(LC_BUILD_VERSION)
        return cmd.platform, cmd.minos

    def dylibs(self):
        names = []
        for lc, cmd, extra in self.header.commands:
            if lc.cmd in DYLIB_COMMANDS:
                names.append((lc.cmd, extra.rstrip(b"\0").decode()))
        return names

    def header_free_bytes(self):
        """Room between the load commands and the first section's bytes (for a signature's
        load command, which codesign adds)."""
        end = self.header.header._size_ + self.header.header.sizeofcmds
        first = min(section.offset for lc, cmd, extra in self.header.commands
                    if lc.cmd == mach_o.LC_SEGMENT_64 for section in extra
                    if section.offset)
        return first - end

    def exported_names(self):
        """Every name in the export trie, which is what dlsym and the host's loader find."""
        commands = self.commands(LC_DYLD_EXPORTS_TRIE)
        if commands:
            (cmd, _), = commands
            start, size = cmd.dataoff, cmd.datasize
        else:
            (cmd, _), = self.commands(LC_DYLD_INFO_ONLY)
            start, size = cmd.export_off, cmd.export_size
        trie = self.data[start:start + size]
        names = []

        def walk(node, prefix):
            terminal, at = uleb128(trie, node)
            if terminal:
                names.append(prefix)
            at += terminal
            children = trie[at]
            at += 1
            for _ in range(children):
                end = trie.index(b"\0", at)
                label = trie[at:end].decode()
                child, at = uleb128(trie, end + 1)
                walk(child, prefix + label)

        if trie:
            walk(0, "")
        return names

    def external_symbols(self):
        """Defined symbols the symbol table marks external and not private."""
        (cmd, _), = self.commands(mach_o.LC_SYMTAB)
        names = []
        for i in range(cmd.nsyms):
            strx, ntype, _, _, _ = struct.unpack_from("<IBBHQ", self.data, cmd.symoff + 16 * i)
            if ntype & N_STAB or not ntype & N_EXT or ntype & N_PEXT:
                continue
            if ntype & N_TYPE != N_SECT:
                continue
            end = self.data.index(b"\0", cmd.stroff + strx)
            names.append(self.data[cmd.stroff + strx:end].decode())
        return names

    def code_directory(self):
        """The signature's code directory, or None when the slice carries no signature."""
        commands = self.commands(LC_CODE_SIGNATURE)
        if not commands:
            return None
        (cmd, _), = commands
        blob = self.data[cmd.dataoff:cmd.dataoff + cmd.datasize]
        magic, _, count = struct.unpack_from(">III", blob, 0)
        if magic != CSMAGIC_EMBEDDED_SIGNATURE:
            raise ValueError("signature is no embedded-signature superblob")
        for i in range(count):
            slot, offset = struct.unpack_from(">II", blob, 12 + 8 * i)
            if slot == CSSLOT_CODEDIRECTORY:
                return CodeDirectory(blob[offset:], cmd.dataoff)
        raise ValueError("signature has no code directory")


class CodeDirectory:
    def __init__(self, blob, signature_offset):
        (self.magic, self.length, self.version, self.flags, self.hash_offset, ident_offset,
         self.special_slots, self.code_slots, self.code_limit, self.hash_size, self.hash_type,
         _, page_log2) = struct.unpack_from(">IIIIIIIIIBBBB", blob, 0)
        self.page_size = 1 << page_log2
        self.identifier = blob[ident_offset:blob.index(b"\0", ident_offset)].decode()
        self.blob = blob
        self.signature_offset = signature_offset

    def bad_pages(self, data):
        """Pages whose hash in the directory is not the hash of the slice's bytes."""
        bad = []
        for page in range(self.code_slots):
            start = page * self.page_size
            chunk = data[start:min(start + self.page_size, self.code_limit)]
            want = self.blob[self.hash_offset + page * self.hash_size:
                             self.hash_offset + (page + 1) * self.hash_size]
            if hashlib.sha256(chunk).digest()[:self.hash_size] != want:
                bad.append(page)
        return bad


def read_slices(path):
    """The slices of a universal (or thin) file, each with its own bytes."""
    with open(path, "rb") as f:
        data = f.read()
    slices = []
    for header in MachO(path).headers:
        size = header.size if header.size else len(data) - header.offset
        slices.append(Slice(header, data[header.offset:header.offset + size]))
    return slices


def fat_architectures(path):
    """The architectures a universal file's fat header lists, read from the header itself."""
    with open(path, "rb") as f:
        data = f.read(4096)
    magic, count = struct.unpack_from(">II", data, 0)
    if magic != 0xCAFEBABE:
        return None
    return [ARCH_NAMES.get(struct.unpack_from(">I", data, 8 + 20 * i)[0], "?") for i in range(count)]
