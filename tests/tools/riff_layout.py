# SPDX-License-Identifier: BSL-1.0
# An independent reader of the RIFF family's chunk layout, written from the
# formats' descriptions, to check tavtool tree against: prints each chunk as
# tree does ("ID [TYPE]  offset N  length M", indented by depth) for a whole,
# published-convention file: RIFF and RIFX (big-endian lengths), RF64 and BW64
# (placeholder lengths from "ds64"), Sony Wave64 (GUIDs, 64-bit sizes that
# count the header, 8-byte alignment).
# Usage: riff_layout.py FILE
import mmap
import struct
import sys

RIFF_TAIL = bytes.fromhex('2E91CF11A5D628DB04C10000')
LIST_TAIL = bytes.fromhex('2F91CF11A5D628DB04C10000')
CODE_TAIL = bytes.fromhex('F3ACD3118CD100C04F8EDB8A')


def guid_text(g):
    a, b, c = struct.unpack('<IHH', g[:8])
    return '{%08X-%04X-%04X-%s-%s}' % (a, b, c, g[8:10].hex().upper(), g[10:].hex().upper())


def wave64(data, out):
    size = struct.unpack('<Q', data[16:24])[0]
    out.append('%s %s  offset 0  length %d' % (data[:4].decode(), data[24:28].decode('latin-1'), size - 24))
    at = 40
    while at + 24 <= len(data):
        guid, size = data[at:at + 16], struct.unpack('<Q', data[at + 16:at + 24])[0]
        registered = guid[4:] in (RIFF_TAIL, LIST_TAIL, CODE_TAIL)
        out.append('  %s  offset %d  length %d' % (guid[:4].decode('latin-1') if registered else guid_text(guid),
                                                   at, size - 24))
        at += size + (-size % 8)


def riff(data, out):
    order = '>' if data[:4] == b'RIFX' else '<'
    sizes = {}
    if data[:4] in (b'RF64', b'BW64'):
        riff_size, data_size, _, entries = struct.unpack('<QQQI', data[20:48])
        sizes = {data[:4]: riff_size, b'data': data_size}
        for i in range(entries):
            chunk_id, size = struct.unpack('<4sQ', data[48 + 12 * i:60 + 12 * i])
            sizes.setdefault(chunk_id, size)

    def length(at):
        n = struct.unpack(order + 'I', data[at + 4:at + 8])[0]
        return sizes.get(data[at:at + 4], n) if n == 0xFFFFFFFF else n

    def walk(at, end, depth):
        while at + 8 <= end:
            n = length(at)
            chunk_id = data[at:at + 4].decode('latin-1')
            if chunk_id == 'LIST':
                out.append('%sLIST %s  offset %d  length %d' % ('  ' * depth, data[at + 8:at + 12].decode('latin-1'),
                                                               at, n))
                walk(at + 12, at + 8 + n, depth + 1)
            else:
                out.append('%s%s  offset %d  length %d' % ('  ' * depth, chunk_id, at, n))
            at += 8 + n + (n & 1)

    n = length(0)
    out.append('%s %s  offset 0  length %d' % (data[:4].decode(), data[8:12].decode('latin-1'), n))
    walk(12, min(8 + n, len(data)), 1)


def main():
    with open(sys.argv[1], 'rb') as f:
        data = mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)  # files of gigabytes: only headers are read
    out = []
    (wave64 if data[:4] == b'riff' else riff)(data, out)
    print('\n'.join(out))


main()
