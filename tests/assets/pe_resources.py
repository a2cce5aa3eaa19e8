"""The resources of a PE file (.exe, .scr), read from its bytes as the PE format lays them out."""

import struct

RT_VERSION = 16
RT_MANIFEST = 24


def _sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    table = optional + optional_size
    sections = [struct.unpack_from("<8sIIII", data, table + 40 * i)
                for i in range(count)]
    return resource_rva, [(va, max(vsize, raw_size), raw)
                          for _, vsize, va, raw_size, raw in sections]


def resources(data):
    """{(type, name, language): bytes} for every resource with a numeric type, name and language."""
    resource_rva, sections = _sections(data)

    def offset(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("address %#x outside every section" % rva)

    root = offset(resource_rva)

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
                start = offset(rva)
                found[(rtype, name, lang)] = data[start:start + size]
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
