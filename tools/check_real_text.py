#!/usr/bin/env python3
"""Checks in a browser that real text is drawn by the page's own font alone.

Converts a lesson page with --real-text (a heading, a link, bold, ASCII kern
pairs, a block in the title and in an attribute), opens it in headless
Chromium at device scale factors 1 and 2 through the DevTools protocol and
checks that:
  - every .sylpic span is drawn only by the page's web font, named
    sylpic-HASH in its own name table (no fallback font draws a glyph), and
    document.fonts has its faces loaded;
  - each span's text, regular and bold, is pixel for pixel what the full
    installed face draws (local("NanumGothic")), ASCII kern pairs included;
  - a code page 932 page and its UTF-8 twin name the same font file and
    give the same text.
Two controls show that the checks can fail: the page with one character
the font lacks must fail the first check at that span alone, and the full
face without kerning must differ from the span's text. The browser draws
installed faces unhinted, as it draws web fonts.

  check_real_text.py SYLPIC [--chromium PATH] [--shots DIR]

--shots DIR writes 2x screenshots of the lesson page converted to images
(--alt --dimensions --hidpi) and to real text, as DIR/realtext-images.png and
DIR/realtext-text.png. Exit status 0 when every check holds, 1 when one
fails, 77 when Chromium is missing (a skip under CTest).
"""
import argparse
import base64
import glob
import html
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
TIMEOUT = 30  # seconds for any one answer or event from the browser
WINDOW = (640, 480)
PAGE = """<html><head>{meta}<title>[[han-gug-eo]] 講座</title></head>
<body style="font-size:16px; margin:8px; background:#fff; color:#000">
<h1>[[han-gug-eo]] 講座</h1>
<p>Korea is [[han-gug]], Seoul is [[seo-ul]]: [[{AVATAR To Wa} an-nyeong]] [[漢字]]</p>
<p><a href="#top" title="[[han-gug]]">[[han-gug-eo gong-bu]]</a>, <b>[[jung-yo]]</b>, [[*k]] [[{2002}]]</p>
</body></html>
"""
TWINS = {"cp932": ('<meta charset="shift_jis">', "cp932"), "utf8": ('<meta charset="utf-8">', "utf-8")}
SPAN = re.compile(rb'<span class="sylpic" lang="ko">(.*?)</span>', re.S)
FAMILY = re.compile(rb'font-family:"(sylpic-[0-9a-f]{16})"')
FACE = re.compile(rb'@font-face\{font-family:"sylpic-[0-9a-f]{16}";src:url\("\./hanimg/([^"]+)"\) '
                  rb'format\("woff2"\);font-weight:(\d+)')
ABSENT = "\ud7a3"  # a syllable no block on the page writes
ROW = 40  # CSS pixels of each row the outlines are compared in
# Lays each span's text out in rows, in the page's family and in the full
# face, the same box for both; returns the rows' weights and texts.
ROWS = """(() => {
  const style = document.createElement("style");
  style.textContent = '@font-face{font-family:full;src:local("NanumGothic");font-weight:400}' +
    '@font-face{font-family:full;src:local("NanumGothicBold"),local("NanumGothic Bold");font-weight:600}' +
    '#rows{position:absolute;left:0;top:0;z-index:99;background:#fff;color:#000;width:%dpx}' +
    '#rows div{height:%dpx;line-height:%dpx;font-size:20px;white-space:pre;padding-left:4px}';
  document.head.append(style);
  const rows = document.createElement("div");
  rows.id = "rows";
  const made = [];
  for (const weight of %s)
    for (const span of document.querySelectorAll(".sylpic"))
      for (const [family, kerning] of [[%s, "auto"], ["full", "auto"], ["full", "none"]]) {
        const row = document.createElement("div");
        row.textContent = span.textContent;
        row.style.cssText = `font-family:${family};font-weight:${weight};font-kerning:${kerning}`;
        rows.append(row);
        made.push([weight, span.textContent]);
      }
  document.body.append(rows);
  return document.fonts.ready.then(() => made);
})()"""


# Installed faces are drawn as fontconfig asks (here hinted, with embedded
# bitmaps), web fonts unhinted: the browser gets the system's settings with
# hinting off, so that both are drawn alike and only the outlines can differ.
FONTS_CONF = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="no">/etc/fonts/fonts.conf</include>
  <match target="font">
    <edit name="hinting" mode="assign"><bool>false</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintnone</const></edit>
    <edit name="autohint" mode="assign"><bool>false</bool></edit>
    <edit name="embeddedbitmap" mode="assign"><bool>false</bool></edit>
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
  </match>
</fontconfig>
"""


def fontconfig(scratch):
    path = os.path.join(scratch, "fonts.conf")
    with open(path, "w") as f:
        f.write(FONTS_CONF)
    return path


class Failure(Exception):
    pass


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, timeout=120, **kwargs)


def convert(sylpic, folder, source, options):
    os.makedirs(folder)
    with open(os.path.join(folder, "sp_lesson.htm"), "wb") as f:
        f.write(source)
    run([sylpic] + options + ["--font", "NanumGothic", "sp_lesson.htm"], cwd=folder)
    with open(os.path.join(folder, "lesson.htm"), "rb") as f:
        return f.read()


class Browser:
    """Headless Chromium driven through the DevTools protocol on a pipe:
    it reads NUL-terminated JSON messages on its fd 3, writes them on fd 4."""

    def __init__(self, path, scratch, scale):
        to_browser, self.commands = os.pipe()
        self.answers, from_browser = os.pipe()
        self.log = open(os.path.join(scratch, "chromium-%d.log" % scale), "wb")
        args = [path, "--headless", "--no-sandbox", "--disable-gpu", "--font-render-hinting=none",
                "--hide-scrollbars", "--no-first-run", "--remote-debugging-pipe",
                "--user-data-dir=" + tempfile.mkdtemp(dir=scratch), "--window-size=%d,%d" % WINDOW,
                "--force-device-scale-factor=%d" % scale]
        # The shell puts the pipe's ends on the fds the browser reads and writes.
        self.process = subprocess.Popen(
            ["sh", "-c", 'exec "$@" 3<&%d 4>&%d' % (to_browser, from_browser), "sh"] + args,
            pass_fds=(to_browser, from_browser), stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log,
            env=dict(os.environ, FONTCONFIG_FILE=fontconfig(scratch)))
        os.close(to_browser)
        os.close(from_browser)
        self.scale, self.buffer, self.events, self.next_id = scale, b"", [], 0

    def close(self):
        try:
            self.send("Browser.close")
        except (Failure, OSError):
            pass
        try:
            self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.commands)
        os.close(self.answers)
        self.log.close()

    def _receive(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.answers], [], [], left)[0]:
                raise Failure("Chromium did not answer within %d s" % TIMEOUT)
            chunk = os.read(self.answers, 1 << 16)
            if not chunk:
                raise Failure("Chromium closed its pipe (see its log)")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + TIMEOUT
        while True:
            answer = self._receive(deadline)
            if answer.get("id") != self.next_id:
                self.events.append(answer)
            elif "error" in answer:
                raise Failure("%s: %s" % (method, answer["error"]))
            else:
                return answer["result"]

    def wait_for(self, method, session, accept=lambda params: True):
        """The first event `method` of the session that `accept`s, taken off the list."""
        deadline = time.monotonic() + TIMEOUT
        seen = 0
        while True:
            for i in range(seen, len(self.events)):
                event = self.events[i]
                if event.get("method") == method and event.get("sessionId") == session and accept(event["params"]):
                    del self.events[:i + 1]
                    return event["params"]
            seen = len(self.events)
            self.events.append(self._receive(deadline))

    def evaluate(self, session, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True}, session)
        if "exceptionDetails" in result:
            raise Failure("in the page: %s" % result["exceptionDetails"])
        return result["result"].get("value")

    def open(self, path):
        """A new tab showing the page at `path` once it and its fonts have loaded."""
        url = "file://" + path
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.send("Page.enable", session=session)
        self.send("Page.navigate", {"url": url}, session)
        self.wait_for("Page.frameNavigated", session,
                      lambda p: "parentId" not in p["frame"] and p["frame"]["url"] == url)
        self.wait_for("Page.loadEventFired", session)
        self.evaluate(session, "document.body.offsetHeight, document.fonts.ready.then(() => true)")
        return target, session

    def shot(self, session, width, height):
        clip = {"x": 0, "y": 0, "width": width, "height": height, "scale": 1}
        data = self.send("Page.captureScreenshot", {"format": "png", "clip": clip,
                                                     "captureBeyondViewport": True}, session)["data"]
        return base64.b64decode(data)


def fonts_problems(browser, path, family, weights):
    """What draws each span other than the page's own family, and its faces not loaded."""
    target, session = browser.open(path)
    faces = [f for f in browser.evaluate(session, "[...document.fonts].map(f => [f.family, f.weight, f.status])")
             if f[0].strip('"') == family]
    problems = ["at %dx the face %s %s is %s" % (browser.scale, family, f[1], f[2])
                for f in faces if f[2] != "loaded"]
    if len(faces) != weights:
        problems.append("at %dx document.fonts lists %d faces of %s for %d files" %
                        (browser.scale, len(faces), family, weights))
    browser.send("DOM.enable", session=session)
    browser.send("CSS.enable", session=session)
    root = browser.send("DOM.getDocument", {"depth": 0}, session)["root"]["nodeId"]
    spans = browser.send("DOM.querySelectorAll", {"nodeId": root, "selector": ".sylpic"}, session)["nodeIds"]
    texts = browser.evaluate(session, '[...document.querySelectorAll(".sylpic")].map(s => s.textContent)')
    for node, text in zip(spans, texts):
        fonts = browser.send("CSS.getPlatformFontsForNode", {"nodeId": node}, session)["fonts"]
        strangers = [f for f in fonts if not f["isCustomFont"] or f["familyName"] != family]
        if strangers or not fonts:
            problems.append("at %dx the span %r is drawn by %s" % (
                browser.scale, text, ", ".join("%s (%d glyphs%s)" % (
                    f["familyName"], f["glyphCount"], "" if f["isCustomFont"] else ", installed") for f in fonts)))
    browser.send("Target.closeTarget", {"targetId": target})
    return problems, len(spans)


def png_rows(data):
    """The rows of pixels of an 8-bit, non-interlaced RGB or RGBA PNG."""
    at, idat, width, height, channels = 8, b"", 0, 0, 0
    while at < len(data):
        length, kind = int.from_bytes(data[at:at + 4], "big"), data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height = int.from_bytes(body[0:4], "big"), int.from_bytes(body[4:8], "big")
            if body[8] != 8 or body[9] not in (2, 6) or body[12]:
                raise Failure("a screenshot PNG of a kind not read here")
            channels = 3 if body[9] == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up, corner = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    return rows


def outline_problems(browser, path, family, weights):
    """Each span's text drawn by the page's family against the full face."""
    target, session = browser.open(path)
    width = WINDOW[0]
    made = browser.evaluate(session, ROWS % (width, ROW, ROW, json.dumps(weights), json.dumps(family)))
    rows = png_rows(browser.shot(session, width, ROW * len(made)))
    browser.send("Target.closeTarget", {"targetId": target})
    band = ROW * browser.scale

    def pixels(i):
        return rows[i * band:(i + 1) * band]
    problems, kerned = [], False
    for i in range(0, len(made), 3):
        weight, text = made[i]
        if pixels(i) != pixels(i + 1):
            problems.append("at %dx %r in weight %d is not drawn as the full face draws it" %
                            (browser.scale, text, weight))
        kerned |= pixels(i + 1) != pixels(i + 2)
    # The ASCII pairs must move under kerning, or the rows could not show
    # a font without its kerning.
    if not kerned:
        problems.append("at %dx no row changed without kerning: the comparison cannot see it" % browser.scale)
    return problems, len(made) // 3


def texts_of(page, encoding):
    """The span texts, and the bare texts of the title and the attributes."""
    spans = [html.unescape(t.decode(encoding)) for t in SPAN.findall(page)]
    bare = [html.unescape(t.decode(encoding)) for t in re.findall(rb'<title>(.*?)</title>|title="([^"]*)"', page)
            for t in t if t]
    return spans, bare


def twin_problems(sylpic, scratch):
    found = {}
    for name, (meta, encoding) in TWINS.items():
        folder = os.path.join(scratch, name)
        page = convert(sylpic, folder, PAGE.replace("{meta}", meta).encode(encoding), ["--real-text"])
        fonts = sorted(os.path.basename(f) for f in glob.glob(os.path.join(folder, "hanimg", "*.woff2")))
        found[name] = (fonts,) + texts_of(page, encoding)
    (fonts, spans, bare), twin = found["cp932"], found["utf8"]
    problems = []
    if twin[0] != fonts:
        problems.append("the code page 932 page has the fonts %s, its UTF-8 twin %s" % (fonts, twin[0]))
    if twin[1:] != (spans, bare):
        problems.append("the code page 932 page has the texts %s, its UTF-8 twin %s" % ((spans, bare), twin[1:]))
    if bare != ["\ud55c\uad6d\uc5b4 \u8b1b\u5ea7", "\ud55c\uad6d"]:
        problems.append("the title and attribute hold %s" % bare)
    return problems


def save_shot(browser, path, to):
    target, session = browser.open(path)
    # The body of a page without a doctype fills the window: measure its content.
    height = browser.evaluate(session, "const r = document.createRange(); r.selectNodeContents(document.body); "
                                       "Math.ceil(r.getBoundingClientRect().bottom) + 8")
    with open(to, "wb") as f:
        f.write(browser.shot(session, WINDOW[0], height))
    browser.send("Target.closeTarget", {"targetId": target})


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("sylpic")
    parser.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    parser.add_argument("--shots")
    options = parser.parse_args()
    if not os.access(options.chromium, os.X_OK):
        print("check_real_text: no Chromium at %s: skipped" % options.chromium)
        return SKIP
    sylpic = os.path.abspath(options.sylpic)

    with tempfile.TemporaryDirectory(prefix="sylpic-realtext-") as scratch:
        problems = twin_problems(sylpic, scratch)
        folder = os.path.join(scratch, "cp932")
        page_path = os.path.join(folder, "lesson.htm")
        with open(page_path, "rb") as f:
            page = f.read()
        family = FAMILY.search(page)
        if not family:
            raise Failure("the converted page names no sylpic family")
        family = family.group(1).decode()
        faces = FACE.findall(page)
        weights = [int(weight) for _, weight in faces]
        files = sorted(os.path.basename(f) for f in glob.glob(os.path.join(folder, "hanimg", "*.woff2")))
        if sorted(name.decode() for name, _ in faces) != files:
            problems.append("the style names the fonts %s, the folder holds %s" % (faces, files))
        control_path = os.path.join(folder, "control.htm")
        marked = page.replace(b'lang="ko">', b'lang="ko">&#%d;' % ord(ABSENT), 1)
        with open(control_path, "wb") as f:
            f.write(marked)

        for scale in (1, 2):
            browser = Browser(options.chromium, scratch, scale)
            try:
                found, spans = fonts_problems(browser, page_path, family, len(weights))
                problems += found
                # Every block but those in the title and the attribute is a span.
                if spans != len(SPAN.findall(page)) or spans != PAGE.count("[[") - 2:
                    problems.append("at %dx the browser found %d spans" % (scale, spans))
                found, rows = outline_problems(browser, page_path, family, weights)
                problems += found
                # One character the font lacks must show at that span, and there alone.
                control, _ = fonts_problems(browser, control_path, family, len(weights))
                if len(control) != 1 or ABSENT not in control[0]:
                    problems.append("at %dx one character missing from the font was seen as %s" % (scale, control))
                if scale == 2 and options.shots:
                    os.makedirs(options.shots, exist_ok=True)
                    images = os.path.join(scratch, "images")
                    # An image cannot stand in an attribute: that block is left out of both.
                    source = PAGE.replace("{meta}", TWINS["cp932"][0]).replace(' title="[[han-gug]]"', "")
                    convert(sylpic, images, source.encode("cp932"),
                            ["--alt", "--dimensions", "--hidpi"])
                    save_shot(browser, os.path.join(images, "lesson.htm"),
                              os.path.join(options.shots, "realtext-images.png"))
                    save_shot(browser, page_path, os.path.join(options.shots, "realtext-text.png"))
            finally:
                browser.close()

    for problem in problems:
        print("check_real_text: " + problem)
    if problems:
        return 1
    print("check_real_text: %d spans drawn by %s alone at 1x and 2x, %d texts as the full face draws them, "
          "weights %s" % (spans, family, rows, weights))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (Failure, subprocess.CalledProcessError, subprocess.TimeoutExpired) as failure:
        detail = getattr(failure, "stderr", b"") or b""
        print("check_real_text: %s %s" % (failure, detail.decode("utf-8", "replace")[-2000:]))
        sys.exit(1)
