#!/usr/bin/env python3
"""Checks by looking that 2x images are sharp on a 2x screen.

Converts a lesson page with --hidpi --opaque, opens it in headless Chromium
at device scale factors 1 and 2 and checks, for every image:
  - at 2x the browser picks the 2x image, and at 1x the 1x image;
  - the image's box has the same CSS place and size at both factors, the
    1x image's size;
  - in the screenshot, the box holds exactly the image's pixels (the 2x
    image at 2x, the 1x image at 1x): only its two colours, no grey, no
    resampling.
The same page converted without --hidpi must fail the last check at 2x (the
browser scales the 1x image up), so the check is known to see blur.

  check_hidpi.py SYLPIC [--chromium PATH] [--shots DIR]

--shots DIR writes the 2x screenshots of the page without and with --hidpi,
cropped to the images, as DIR/hidpi-before.png and DIR/hidpi-after.png.
Exit status 0 when every check holds, 1 when one fails, 77 when Chromium is
missing (a skip under CTest). Needs ImageMagick's convert to read pixels.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

SKIP = 77
PAGE = b"""<html><head><title>lesson</title></head>
<body bgcolor="#FFFFF0" text="navy" style="font-size:16px; margin:8px">
<p>Korea is [[han-gug]], Seoul is [[`n=seoul`seo-ul]], Korean: [[han-gug-eo]].</p>
<p>[[an-nyeong-ha-sib-ni-kka]] Hello, [[*k]] [[{2002}]]</p>
</body></html>
"""
# Writes each image's CSS box and chosen source into the title once the
# page and its images have loaded; the title takes no room on the page.
PROBE = b"""<script>
window.addEventListener("load", () => {
  document.title = JSON.stringify([...document.images].map(i => {
    const r = i.getBoundingClientRect();
    return {x: r.x, y: r.y, width: r.width, height: r.height, src: i.currentSrc};
  }));
});
</script>
"""
WINDOW = (800, 600)


class Failure(Exception):
    pass


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, **kwargs)


def convert_page(sylpic, folder, hidpi):
    os.makedirs(folder)
    with open(os.path.join(folder, "sp_lesson.htm"), "wb") as f:
        f.write(PAGE)
    options = ["--font", "NanumGothic", "--opaque"] + (["--hidpi"] if hidpi else [])
    run([sylpic] + options + ["sp_lesson.htm"], cwd=folder)
    page = os.path.join(folder, "lesson.htm")
    probe = os.path.join(folder, "probe.htm")
    with open(page, "rb") as f, open(probe, "wb") as g:
        g.write(f.read() + PROBE)
    return page, probe


def chromium(browser, scratch, scale, what, page):
    profile = tempfile.mkdtemp(dir=scratch)
    args = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
            "--user-data-dir=" + profile, "--window-size=%d,%d" % WINDOW,
            "--force-device-scale-factor=%d" % scale]
    if what == "dom":
        out = run(args + ["--dump-dom", "file://" + page]).stdout.decode("utf-8")
        start, end = out.find("<title>"), out.find("</title>")
        return json.loads(out[start + len("<title>"):end].replace("&quot;", '"').replace("&amp;", "&"))
    shot = os.path.join(scratch, "shot-%s-%d.png" % (os.path.basename(os.path.dirname(page)), scale))
    run(args + ["--screenshot=" + shot, "file://" + page])
    return shot


class Pixels:
    """An image's pixels as RGB triples, read through ImageMagick."""

    def __init__(self, path):
        size = run(["identify", "-format", "%w %h\n", path]).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.rgb = run(["convert", path + "[0]", "-depth", "8", "rgb:-"]).stdout

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return self.rgb[i:i + 3]

    def block(self, left, top, width, height):
        rows = []
        for y in range(top, top + height):
            i = 3 * (y * self.width + left)
            rows.append(self.rgb[i:i + 3 * width])
        return rows


def image_in_shot(shot, image, left, top):
    """The offset (within a device pixel) at which `shot` holds `image` exactly."""
    wanted = image.block(0, 0, image.width, image.height)
    for dy in (0, -1, 1):
        for dx in (0, -1, 1):
            x, y = left + dx, top + dy
            if x < 0 or y < 0 or x + image.width > shot.width or y + image.height > shot.height:
                continue
            if shot.block(x, y, image.width, image.height) == wanted:
                return dx, dy
    return None


def colours_in(shot, left, top, width, height):
    return {shot.at(x, y) for y in range(top, top + height) for x in range(left, left + width)}


def check_boxes(boxes, scale, folder, problems):
    """Every image shows its own file at this scale, its box the 1x image's size."""
    for box in boxes:
        name = box["src"].rsplit("/", 1)[-1]
        one = Pixels(os.path.join(folder, "hanimg", name))
        wanted = "/hanimg/2x/" + name if scale == 2 else "/hanimg/" + name
        if not box["src"].endswith(wanted):
            problems.append("at %dx %s was shown instead of %s" % (scale, box["src"], wanted))
        if (box["width"], box["height"]) != (one.width, one.height):
            problems.append("at %dx the box of %s is %gx%g CSS px, the image %dx%d" %
                            (scale, name, box["width"], box["height"], one.width, one.height))


def check_shot(shot, boxes, scale, folder, problems, expect_sharp=True):
    """Each box holds its image's pixels exactly; returns the boxes that do."""
    sharp = 0
    for box in boxes:
        name = box["src"].rsplit("/", 1)[-1]
        image = Pixels(os.path.join(folder, "hanimg", "2x" if scale == 2 and expect_sharp else "", name))
        left, top = round(box["x"] * scale), round(box["y"] * scale)
        if expect_sharp:
            if image_in_shot(shot, image, left, top) is None:
                found = colours_in(shot, left, top, image.width, image.height)
                problems.append("at %dx the box of %s does not hold the image exactly (%d colours)" %
                                (scale, name, len(found)))
            else:
                sharp += 1
        else:
            found = colours_in(shot, left, top, round(box["width"] * scale), round(box["height"] * scale))
            sharp += len(found) <= 2
    return sharp


def crop(shot_path, boxes, scale, to):
    left = min(b["x"] for b in boxes) * scale - 8
    top = min(b["y"] for b in boxes) * scale - 8
    right = max(b["x"] + b["width"] for b in boxes) * scale + 8
    bottom = max(b["y"] + b["height"] for b in boxes) * scale + 8
    geometry = "%dx%d+%d+%d" % (right - left, bottom - top, max(left, 0), max(top, 0))
    run(["convert", shot_path, "-crop", geometry, "+repage", "-strip", to])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("sylpic")
    parser.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    parser.add_argument("--shots")
    options = parser.parse_args()
    if not os.access(options.chromium, os.X_OK):
        print("check_hidpi: no Chromium at %s: skipped" % options.chromium)
        return SKIP
    sylpic = os.path.abspath(options.sylpic)

    with tempfile.TemporaryDirectory(prefix="sylpic-hidpi-") as scratch:
        after = os.path.join(scratch, "after")
        before = os.path.join(scratch, "before")
        page, probe = convert_page(sylpic, after, True)
        old_page, old_probe = convert_page(sylpic, before, False)

        jobs = [(1, "dom", probe), (2, "dom", probe), (1, "shot", page), (2, "shot", page),
                (2, "dom", old_probe), (2, "shot", old_page)]
        with ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(lambda job: chromium(options.chromium, scratch, *job), jobs))
        boxes1, boxes2, shot1, shot2, old_boxes, old_shot = results

        problems = []
        if len(boxes2) != 6 or len(boxes1) != len(boxes2):
            raise Failure("expected 6 images, found %d at 1x and %d at 2x" % (len(boxes1), len(boxes2)))
        for one, two in zip(boxes1, boxes2):
            # The text before an image may measure a hundredth of a pixel
            # otherwise at another scale; an image that moved would move by
            # half a CSS pixel at least (a device pixel at 2x).
            if any(abs(one[k] - two[k]) > 0.1 for k in ("x", "y", "width", "height")):
                problems.append("the box of %s moved: %s at 1x, %s at 2x" % (one["src"], one, two))
        check_boxes(boxes1, 1, after, problems)
        check_boxes(boxes2, 2, after, problems)
        check_shot(Pixels(shot1), boxes1, 1, after, problems)
        check_shot(Pixels(shot2), boxes2, 2, after, problems)
        # Without 2x images the browser scales the 1x images up: if that
        # looked sharp too, this check could not tell blur from sharpness.
        if check_shot(Pixels(old_shot), old_boxes, 2, before, problems, expect_sharp=False) == len(old_boxes):
            problems.append("without 2x images every box still held two colours: the check sees no blur")

        if options.shots:
            os.makedirs(options.shots, exist_ok=True)
            crop(old_shot, old_boxes, 2, os.path.join(options.shots, "hidpi-before.png"))
            crop(shot2, boxes2, 2, os.path.join(options.shots, "hidpi-after.png"))

    for problem in problems:
        print("check_hidpi: " + problem)
    if problems:
        return 1
    print("check_hidpi: %d images sharp at 2x, in place at 1x and 2x" % len(boxes2))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (Failure, subprocess.CalledProcessError) as failure:
        detail = getattr(failure, "stderr", b"") or b""
        print("check_hidpi: %s %s" % (failure, detail.decode("utf-8", "replace")[-2000:]))
        sys.exit(1)
