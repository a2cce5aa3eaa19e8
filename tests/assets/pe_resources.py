"""The resources and headers of a PE file (.exe, .scr), read from its bytes as the PE format lays them out."""

import struct

RT_VERSION = 16
RT_MANIFEST = 24


def _headers(data):
    """Offsets of the COFF header, the optional header and its data directories, the section table and its count."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + (112 if magic == 0x20B else 96)
    return pe + 4, optional, directories, optional + optional_size, count


def _sections(data):
    _, _, directories, table, count = _headers(data)
    sections = [struct.unpack_from("<8sIIII", data, table + 40 * i)
                for i in range(count)]
    return [(va, max(vsize, raw_size), raw)
            for _, vsize, va, raw_size, raw in sections]


def _offset(data, rva):
    for va, size, raw in _sections(data):
        if va <= rva < va + size:
            return raw + rva - va
    raise ValueError("address %#x outside every section" % rva)


def _directory(data, index):
    _, _, directories, _, _ = _headers(data)
    return struct.unpack_from("<II", data, directories + 8 * index)


def _text(data, at):
    return data[at:data.index(b"\0", at)].decode("latin-1")


def resources(data):
    """{(type, name, language): bytes} for every resource with a numeric type, name and language."""
    root = _offset(data, _directory(data, 2)[0])

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, root + directory + 12)
        for i in range(named + ids):
            key, target = struct.unpack_from("<II", data,
                                             root + directory + 16 + 8 * i)
            yield key, target

    found = {}
    for rtype, to_names in entries(0):
        for name, to_langs in entries(to_names & 0x7FFFFFFF):
            for lang, to_data in entries(to_langs & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, root + to_data)
                start = _offset(data, rva)
                found[(rtype, name, lang)] = data[start:start + size]
    return found


def imported_dlls(data):
    """The names of the DLLs in the import table, as written there."""
    names = []
    at = _offset(data, _directory(data, 1)[0])
    while True:
        name_rva, first_thunk = struct.unpack_from("<II", data, at + 12)
        if name_rva == 0 and first_thunk == 0:
            return names
        names.append(_text(data, _offset(data, name_rva)))
        at += 20


def dll_characteristics(data):
    _, optional, _, _, _ = _headers(data)
    return struct.unpack_from("<H", data, optional + 70)[0]


def symbol_count(data):
    coff, _, _, _, _ = _headers(data)
    return struct.unpack_from("<I", data, coff + 12)[0]


def sections(data):
    """{name: raw bytes} of every section; long names ("/n") read from the COFF string table."""
    coff, _, _, table, count = _headers(data)
    symbols, nsymbols = struct.unpack_from("<II", data, coff + 8)
    found = {}
    for i in range(count):
        name, vsize, _, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        name = name.rstrip(b"\0").decode("latin-1")
        if name.startswith("/"):
            name = _text(data, symbols + 18 * nsymbols + int(name[1:]))
        found[name] = data[raw:raw + min(vsize, raw_size)]
    return found


def first(data, rtype):
    """The bytes of the first resource of a type, or None."""
    for (t, _, _), value in sorted(resources(data).items()):
        if t == rtype:
            return value
    return None


def file_version(data):
    """(major, minor, patch, build) from the fixed part of the version block."""
    block = first(data, RT_VERSION)
    at = block.find(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", block, at + 8)
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
