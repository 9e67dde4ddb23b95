#!/usr/bin/env python3
"""Makes a linked Windows program ready to be signed and unsigned again.

Authenticode signing pads the file to a multiple of eight bytes and writes
the PE checksum; removing the signature keeps both. A program that already
has them comes back byte for byte from osslsigncode remove-signature, so
anyone can check a signed release against the unsigned one we build.

Usage: pe_release.py EXE...
"""
import struct
import sys


def checksum(data, field):
    """The PE checksum: 16-bit sums with the carry folded in, plus the length."""
    body = bytearray(data)
    body[field:field + 4] = b'\0\0\0\0'
    if len(body) % 2:
        body += b'\0'
    total = sum(struct.unpack('<%dH' % (len(body) // 2), body))
    while total >> 16:
        total = (total & 0xffff) + (total >> 16)
    return total + len(data)


def prepare(path):
    with open(path, 'rb') as f:
        data = bytearray(f.read())
    if data[:2] != b'MZ':
        sys.exit('%s: not a Windows program' % path)
    pe = struct.unpack_from('<I', data, 0x3c)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        sys.exit('%s: no PE header' % path)
    data += b'\0' * (-len(data) % 8)
    field = pe + 24 + 64  # the optional header's CheckSum, in PE32 and PE32+ alike
    struct.pack_into('<I', data, field, checksum(data, field))
    with open(path, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    for exe in sys.argv[1:]:
        prepare(exe)
