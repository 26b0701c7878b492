#!/usr/bin/python3
"""Reads the web fonts of a page in real text back with fontTools.

Converts a page with `SYLPIC --real-text --font NanumGothic`, then opens
every font file the page's style names and checks, against the installed
face it was made from:
  - its cmap holds exactly the code points of the page's real text (the
    spans' text and the text that stands alone, character references
    decoded);
  - no family, unique, full, PostScript or typographic family name (IDs 1,
    3, 4, 6, 16) holds a name the face's licence reserves ("Nanum",
    "NanumGothic", "Naver NanumGothic"), and each is the style's family;
  - the copyright, trademark, licence and licence URL (IDs 0, 7, 13, 14)
    are as in the face;
  - every kerning pair of the face between two characters of the page is
    in the subset with the same value.

  check_web_font.py SYLPIC

Exit status 0 when every check holds, 1 when one fails, 77 when fontTools or
the face is missing (a skip under CTest).
"""
import html
import os
import re
import subprocess
import sys
import tempfile

SKIP = 77
FACES = {400: "/usr/share/fonts/truetype/nanum/NanumGothic.ttf",
         600: "/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf"}
RESERVED = ("nanum", "naver")
PAGE = """<html><head><title>[[han-gug-eo]]</title></head><body>
<h1>[[an-nyeong-ha-se-yo]]</h1>
<p title="[[seo-ul]]">[[{AVATAR To Wa}]] [[dae-han-min-gug]] &amp; [[*k]]</p>
</body></html>
"""


def fail(message):
    print("check_web_font: " + message)
    sys.exit(1)


def main():
    try:
        from fontTools.ttLib import TTFont
    except ImportError:
        print("check_web_font: no fontTools (python3-fonttools): skipped")
        return SKIP
    if not all(os.path.exists(path) for path in FACES.values()):
        print("check_web_font: NanumGothic is not installed: skipped")
        return SKIP
    sylpic = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "sp_page.htm"), "w", encoding="ascii") as f:
            f.write(PAGE)
        subprocess.run([sylpic, "--real-text", "--font", "NanumGothic", "sp_page.htm"], cwd=folder, check=True,
                       capture_output=True)
        with open(os.path.join(folder, "page.htm"), encoding="ascii") as f:
            page = f.read()
        family = re.search(r'font-family:"(sylpic-[0-9a-f]{16})"', page).group(1)
        files = re.findall(r'src:url\("\./hanimg/([^"]+)"\) format\("woff2"\);font-weight:(\d+)', page)
        if len(files) != 2:
            fail("expected a regular and a bold font, found %r" % files)
        body = re.sub(r"<style>.*?</style>", "", page)
        texts = re.findall(r'<span class="sylpic" lang="ko">(.*?)</span>', body)
        texts += re.findall(r"<title>(.*?)</title>", body) + re.findall(r'title="(.*?)"', body)
        wanted = {ord(c) for text in texts for c in html.unescape(text)}
        for name, weight in files:
            subset = TTFont(os.path.join(folder, "hanimg", name))
            face = TTFont(FACES[int(weight)])
            check_font(subset, face, family, wanted, name)
    print("check_web_font: %d code points, both weights: every check holds" % len(wanted))
    return 0


def check_font(subset, face, family, wanted, name):
    cmap = subset.getBestCmap()
    if set(cmap) != wanted:
        fail("%s: cmap differs from the page: extra %r, missing %r"
             % (name, sorted(set(cmap) - wanted), sorted(wanted - set(cmap))))
    for record in subset["name"].names:
        text = record.toUnicode()
        if record.nameID in (1, 3, 4, 6, 16):
            if any(word in text.lower() for word in RESERVED) or not text.startswith(family):
                fail("%s: name %d is %r" % (name, record.nameID, text))
        elif record.nameID not in (0, 2, 5, 7, 13, 14, 17):
            fail("%s: name %d should have been dropped" % (name, record.nameID))
    for name_id in (0, 7, 13, 14):
        if subset["name"].getDebugName(name_id) != face["name"].getDebugName(name_id):
            fail("%s: name %d differs from the face's" % (name, name_id))
    face_cmap = face.getBestCmap()
    face_pairs = face["kern"].kernTables[0].kernTable
    subset_pairs = subset["kern"].kernTables[0].kernTable if "kern" in subset else {}
    kerned = 0
    for left in wanted:
        for right in wanted:
            value = face_pairs.get((face_cmap[left], face_cmap[right]))
            if value is None:
                continue
            kerned += 1
            if subset_pairs.get((cmap[left], cmap[right])) != value:
                fail("%s: the kerning of %r and %r is lost" % (name, chr(left), chr(right)))
    if kerned == 0:
        fail("%s: the page has no kerned pair to check" % name)


if __name__ == "__main__":
    sys.exit(main())
