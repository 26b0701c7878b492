#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The seeds are committed; run this again only to change them. Image seeds
(GIF and PNG files as the program writes them) are taken from a conversion
when a built sylpic is given: make_seeds.py [path/to/sylpic]."""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)


def cp932(text):
    return text.encode("cp932")


def put(target, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    name = hashlib.sha1(data).hexdigest()[:16]
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


example = open(os.path.join(root, "res/example/page.htm"), "rb").read()
pages = [
    example,
    cp932("<p>[[han-gug-eo]] and [[`n=seoul`seo-ul]]</p>"),
    cp932('<BODY bgcolor="#000080" TEXT=white>[[an-nyeong]][[an-nyeong]]</BODY>'),
    cp932("[[{Seoul2002}]] [x] ]] [[[ [[]] [[-]]"),
    cp932("[[&$B0A1;&#44032;&$A4D4;&$E0A1;&#00065;]]"),
    cp932("[[大韓民国、ハングル]]"),
    cp932("[[*k *n *lk *@ *0]]"),
    cp932("[[xyz]] [[han") ,
    b"\x81\x5b\x5b\x5b han]] \x81 [[a\x81 b]]",
    cp932("[[`n=con`han]][[`n=a-b c`x]][[`q=x`han]][[`n=top]]"),
    cp932('<body text="#f0f">[[ppyeolh kkwaelph]]</body>'),
]
# Two settings bytes: the second's bit 0 asks for 2x images.
for flags in (0, 1, 2, 4, 8, 32, 33, 34, 64, 256 | 1):
    for page in pages:
        put("page_conversion", bytes([flags & 255, flags >> 8]) + page[:4096])

# UTF-8 pages: by byte order mark, by declaration, or read as UTF-8 (bit 7);
# with alt text (bit 5), dimensions (bit 6) and 2x images (bit 8).
utf8_pages = [
    "\ufeff[[한국어]] [[han-gug-eo]] [[漢字]] [[*k]] [[ㄱ]]".encode("utf-8"),
    '<meta charset="utf-8"><p>[[한]] [[`n=x한`{a한"<&>}]]</p>'.encode("utf-8"),
    "[[\U0001F600ก①]] ポ[[han]] [[{'\x1b'}]]".encode("utf-8") + b"[[\xf0\x9f\x98 \xc0\xaf \xed\xa0\x80]]",
    b"[[ka" + b"-" * 4000 + "한]]".encode("utf-8"),
]
for flags in (32 | 64 | 256, 32 | 64 | 128 | 1 | 256, 32 | 128 | 2, 64 | 16):
    for page in utf8_pages:
        put("page_conversion", bytes([flags & 255, flags >> 8]) + page[:4096])

blocks = [
    b"han-gug-eo", b"an-nyeong-ha-sib-ni-kka", b"{Seoul} 2002", b"*k *n *t *r *m",
    b"&$B0A1;&#44032;&$A4D4;&$E0A1;&#57344;&#00065;&$zzzz;&#9x;", cp932("大韓民国、ハングル"),
    b"\x81\x40\x82\xa0\xe0\x40\xfc\xfc\x81 \x85\x40", b"xyz han ppyeolh", b"ha" * 200,
    b"{" + b"A" * 300 + b"}", b"&$A4A1;" * 60,
]
for flags in range(8):
    for block in blocks:
        put("block_parser", bytes([flags]) + block)

utf8_blocks = [
    "한국어 han-gug-eo 漢字 ㄱ *k".encode("utf-8"), '{a한"} `n=x한`'.encode("utf-8"),
    "\U0001F600ก①¥～".encode("utf-8") + b"\xf0\x9f\x98 \xc0\xaf \xed\xa0\x80 \x80",
    b"-" * 4998 + "한".encode("utf-8"),
]
for flags in (8, 9, 10, 12):
    for block in utf8_blocks:
        put("block_parser", bytes([flags]) + block)

for tag in [
    b'bgcolor="#FFFFF0" text="navy"', b"BGCOLOR=#000080 TEXT=white", b"bgcolor=#abc text=#12",
    b"class=textpage bgcolor text=navy", b"bgcolor='red' text = lightgoldenrodyellow",
    b"bgcolor=#\x81\x40 text=\xe0", b"text=aliceblueXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", b"bgcolor=#",
]:
    put("page_colours", tag)

for ini in [
    b"[SYLPIC]\r\nXPOS=100\r\nYPOS=100\r\nBKTRP=1\r\nDELERRF=0\r\nFONTNAME=NanumGothic\r\nFONTSIZE=12\r\nIMGFTYPE=GIF\r\n",
    b"; comment\n[other]\nFONTNAME=x\n[sylpic]\nfontsize = \"14\"\nimgftype=p\nxpos=99999999999\n",
    b"[SYLPIC\nFONTNAME\n=12\n[SYLPIC]\nBKTRP=-1\nDELERRF=1x\n",
]:
    put("settings_file", ini)

# Page starts for the encoding detection: declarations of every kind, and
# what hides or spoils one.
for start in [
    b'<!DOCTYPE html><html><head><meta charset="utf-8"><title>x</title>',
    b"\xef\xbb\xbf<p>[[\xed\x95\x9c]]</p>",
    b"\xff\xfe<\x00m\x00",
    b'<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">',
    b"<meta content='text/html;charset = \"UTF-16\"' http-equiv=content-type>",
    b"<!-- <meta charset=utf-8> --><meta charset=x-user-defined>",
    b"<div title='<meta charset=utf-8>'></x a=b><?pi?><!x><meta/charset=bogus charset=utf8>",
    b'<?xml version="1.0" encoding="utf-8"?><html>',
    b"<\x00?\x00x\x00",
    b" " * 1004 + b"<meta charset=utf-8>",
]:
    put("page_encoding", start)
for label in [b"utf-8", b" UTF8\t", b"AUTO", b"cp932", b"unicode-1-1-utf-8"]:
    put("page_encoding", label)

# UTF-8 block text: Hangul, kana, kanji and symbols of both code pages, and
# ill-formed and cut sequences.
for text in [
    "한국어 漢字 あア ｱ ¥ ‖∥ ♥ 😀".encode(), b"\xc0\xaf\xe0\x80\xaf\xed\xa0\x80\xf4\x90\x80\x80",
    b"\xe1\x80A\xf1\x80\x80\xe1\x80\xc2", b"[[\xed\x95\x9c]]", b"\xf0\x9f\x98",
]:
    put("utf8_text", text)

# Alt text: code points (three bytes each) and glyph strings in both modes.
def code_points(text):
    return b"".join(ord(c).to_bytes(3, "little") for c in text)
for flags in (0, 1):
    put("alt_text", bytes([flags]) + code_points('한<b>&"\'\u2665 x\t\x7f') + b"\x00\xd8\x00\x00\x00\x11")
    put("alt_text", bytes([flags | 2]) + b"A\xb0\xa1\xa2\xbe\xb0!\x00Q")
    put("alt_text", bytes([flags | 6]) + "A한😀<".encode("utf-16-le") + b"\x00\xdc\x00\x00Q\x00")

# Key reader seeds: the round-trip modes, and files as the writers make them.
put("image_keys", b"\x01" + bytes([255, 255, 240, 0, 0, 128, 9, 5]) + b"NanumGothic 12 ^C7D1")
put("image_keys", b"\x02" + bytes([255, 255, 255, 0, 0, 0, 20, 3]) + b"NanumGothic 12 C7D1B1B9")
put("image_keys", b"\x00GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00\x21\xfe\x03abc\x00\x3b")
put("image_keys", b"\x00\x89PNG\r\n\x1a\n\x00\x00\x00\x06PLTE\x01\x02\x03\x04\x05\x06CRC!"
    b"\x00\x00\x00\x0btEXtComment\x00abcCRC!\x00\x00\x00\x00IDATCRC!")
put("image_keys", b"\x00\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x01\x2d\x00\x00\x00\x13\x01\x03\x00\x00\x00CRC!")
put("image_keys", b"\x00#define hankuk.x_width 45\r\n#define hankuk.x_height 19\r\nstatic char hankuk.x_bits[] = {\r\n};\r\n")
if len(sys.argv) > 1:
    work = tempfile.mkdtemp()
    try:
        with open(os.path.join(work, "sp_page.htm"), "wb") as f:
            f.write(example)
        for fmt in ("GIF", "PNG"):
            subprocess.run([sys.argv[1], "--font", "NanumGothic", "--format", fmt, "sp_page.htm"],
                           cwd=work, check=False, stdout=subprocess.DEVNULL)
        images = os.path.join(work, "hanimg")
        for name in sorted(os.listdir(images))[:8]:
            with open(os.path.join(images, name), "rb") as f:
                put("image_keys", b"\x00" + f.read())
    finally:
        shutil.rmtree(work)
