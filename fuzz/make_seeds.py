#!/usr/bin/env python3
"""Writes the seed envelopes of the envelope fuzzer (uncompressed) into corpus/envelope/."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "corpus", "envelope")


def i16(v): return struct.pack(">h", v)
def i32(v): return struct.pack(">i", v)


def utf(s):
    b = s.encode("utf-8")
    return struct.pack(">H", len(b)) + b


def page(items, structure=b"", nstructure=0, frames=b"", nframes=0):
    head = i32(7) + i16(1) + i16(1) + utf("http://h/p") + utf("t") + i32(0xFFFFFF) + i32(240) + i32(320)
    return head + i32(len(items)) + b"".join(items) + i32(nstructure) + structure + i16(nframes) + frames


def text(s): return bytes([3]) + i32(0) * 4 + i32(0x112233) + utf(s) + i32(0) + i32(1)


def envelope(status=0, message="", argument="", command=b"", body=None, images=(10, 20), cookies=b"", ngroups=0):
    body = body if body is not None else page([text("hello"), text("\u65e5\u672c")])
    e = i32(5208) + i32(status) + utf(message) + utf(argument) + command
    e += i32(5) + i32(1) + i32(2) + i32(3) + utf("sid")
    e += body + i32(len(images)) + b"".join(i32(s) for s in images)
    e += i32(sum(images)) + i32(1) + i32(4000000) + i32(0) + i32(ngroups) + cookies
    return e


box = bytes([29]) + i32(0) * 4 + i32(0) + i32(0x55) + i32(1) + i32(2) + i16(1) + bytes([1]) + i32(3) + i16(2) + bytes([2]) + i32(4) + i32(5) + i32(6)
select = bytes([17]) + i32(0) * 4 + i32(1) + i32(2) + i32(0) + i32(1) + utf("a") + i32(1) + utf("1") + i32(1) + b"\x01" + utf("n") + i32(0)
link = bytes([100]) + utf("http://h/l") + i32(1) + i32(0) + i32(0)
control = bytes([101]) + i32(2) + i32(0) + i32(4)
form = bytes([102]) + utf("/post") + i16(6) + i16(1) + utf("") + i32(1) + i32(3)
cookie = i16(1) + utf("h") + utf("/") + utf("n") + utf("v") + i32(60) + i16(0)

seeds = {
    "plain": envelope(),
    "controls": envelope(body=page([text("x"), box, select], link + control + form, 3, utf("http://f") + i32(2), 1)),
    "notice": envelope(status=20500, message="Notice"),
    "auth": envelope(status=30000, message="Basic,Log in", argument="http://h/realm"),
    "bookmarks": envelope(status=31000, command=i32(2) + utf("a") + utf("b")),
    "download": envelope(status=32000, message="f.zip", argument="http://h/f.zip"),
    "cookies": envelope(cookies=cookie, ngroups=1),
    "version": i32(5301) + i32(0),
}
os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
