#!/usr/bin/env python3
"""Times note switches as a user sees them: a Down key sent to the X server
while the tree has the keyboard focus, to the first change of the editor's
pixels in Xvfb's frame buffer (and to the last one, once the editor is still).

Run by scripts/bench-keys, which sets up Wine, the Xvfb display (with -fbdir)
and the notes database; see there for the usage. Measures tallyleaf.exe and
then the floor program (tallyleaf_floor.exe: a bare tree and edit control laid
out like Tallyleaf's) and prints both medians and their ratio.
"""
import ctypes
import mmap
import os
import statistics
import struct
import subprocess
import sys
import time

TITLE = "Tallyleaf - Work faster."
FLOOR_TITLE = "Tallyleaf floor"
XK_DOWN = 0xFF54
SETTLED_S = 0.3        # the editor counts as still after this long without a change
SWITCH_TIMEOUT_S = 10  # no switch of an everyday note may take anywhere near this long
WINDOW_TIMEOUT_S = 60
WARM_UP = 5


class BenchError(Exception):
    pass


class FrameBuffer:
    """Xvfb's screen 0 as it writes it into -fbdir: an XWD file, mapped."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.map = mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)
        fields = struct.unpack(">25I", self.map[:100])
        header_size, bits_per_pixel, self.bytes_per_line, ncolors = fields[0], fields[11], fields[12], fields[19]
        if bits_per_pixel != 32:
            raise BenchError(f"the frame buffer has {bits_per_pixel} bits a pixel; 32 expected (Xvfb depth 24)")
        self.data = header_size + 12 * ncolors

    def band(self, top, bottom):
        """The rows top..bottom-1, whole: one copy, much quicker than cutting out a rectangle."""
        return self.map[self.data + top * self.bytes_per_line:self.data + bottom * self.bytes_per_line]


class EditorWatch:
    """Tells whether the pixels of a screen rectangle changed since the last look. The band of
    whole rows around it is compared first; the rectangle itself only when the band changed."""

    def __init__(self, fb, rect):
        left, top, right, bottom = rect
        self.fb, self.top, self.bottom = fb, top, bottom
        line = fb.bytes_per_line
        self.rows = [(y * line + left * 4, y * line + right * 4) for y in range(bottom - top)]
        self.band = fb.band(top, bottom)
        self.pixels = self._cut(self.band)

    def _cut(self, band):
        view = memoryview(band)
        return [bytes(view[a:b]) for a, b in self.rows]

    def changed(self):
        band = self.fb.band(self.top, self.bottom)
        if band == self.band:
            return False
        self.band = band
        view = memoryview(band)
        if all(view[a:b] == row for (a, b), row in zip(self.rows, self.pixels)):
            return False
        self.pixels = self._cut(band)
        return True


class Keyboard:
    """Key presses through the X server's XTEST extension, as xdotool sends them."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise BenchError("cannot open the X display " + os.environ.get("DISPLAY", "(none)"))
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.down = self.x11.XKeysymToKeycode(self.display, XK_DOWN)

    def press_down(self):
        """Sends Down (press and release) and returns the moment it left for the server."""
        self.xtst.XTestFakeKeyEvent(self.display, self.down, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, self.down, 0, 0)
        sent = time.perf_counter()
        self.x11.XFlush(self.display)
        return sent


def wine(*args, **kwargs):
    return subprocess.run(["wine", *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, **kwargs)


def layout(helper, title):
    """The window's, tree's, editor's and editor text's screen rectangles, once the window shows."""
    deadline = time.monotonic() + WINDOW_TIMEOUT_S
    while time.monotonic() < deadline:
        result = wine(helper, "keys-layout", title)
        words = result.stdout.split()
        if result.returncode == 0 and len(words) == 20:
            rects = {words[i]: tuple(int(v) for v in words[i + 1:i + 5]) for i in range(0, 20, 5)}
            if rects["text"][2] > rects["text"][0] and rects["text"][3] > rects["text"][1]:
                return rects
        time.sleep(0.2)
    raise BenchError(f"the window '{title}' with a tree and an editor did not show within {WINDOW_TIMEOUT_S} s")


def wait_still(watch, since=None):
    """Polls until the editor has not changed for SETTLED_S; returns the time of its last change."""
    last_change = since if since is not None else time.perf_counter()
    deadline = time.perf_counter() + SWITCH_TIMEOUT_S
    while time.perf_counter() - last_change < SETTLED_S:
        if time.perf_counter() > deadline:
            raise BenchError(f"the editor never kept still for {SETTLED_S * 1000:.0f} ms")
        time.sleep(0.0005)
        if watch.changed():
            last_change = time.perf_counter()
    return last_change


def measure(fb, keys, rect, count, name):
    """Times `count` switches (after the warm-up); returns the first- and last-change times in ms."""
    first, last = [], []
    watch = EditorWatch(fb, rect)
    for n in range(WARM_UP + count):
        wait_still(watch)
        sent = keys.press_down()
        deadline = sent + SWITCH_TIMEOUT_S
        while not watch.changed():
            if time.perf_counter() > deadline:
                raise BenchError(f"{name}: the editor did not change within {SWITCH_TIMEOUT_S} s of Down "
                                 f"(switch {n + 1}); has the tree the keyboard focus?")
            time.sleep(0.0005)
        changed = time.perf_counter()
        settled = wait_still(watch, changed)
        if n >= WARM_UP:
            first.append((changed - sent) * 1000)
            last.append((settled - sent) * 1000)
    return first, last


def run_program(args, fb, keys, helper, title, count, second_start=False):
    process = subprocess.Popen(["wine", *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        if second_start:
            # Tallyleaf starts hidden in the tray; a second start calls its window up.
            layout_deadline = time.monotonic() + WINDOW_TIMEOUT_S
            while wine(helper, "keys-layout", title).returncode != 0 and time.monotonic() < layout_deadline:
                time.sleep(0.2)
            wine(*args, timeout=WINDOW_TIMEOUT_S)
        rects = layout(helper, title)
        tree = rects["tree"]
        # A click on the tree's first item gives the tree the keyboard focus.
        subprocess.run(["xdotool", "mousemove", str(tree[0] + 30), str(tree[1] + 9), "click", "1"], check=True)
        figures = measure(fb, keys, rects["text"], count, title)
        if os.environ.get("BENCH_KEYS_SHOTS"):
            # The screen after the last switch, to see what was measured.
            shot = os.path.join(os.environ["BENCH_KEYS_SHOTS"], title.split()[-1].strip(".") + ".png")
            subprocess.run(["import", "-window", "root", shot], check=True)
        return rects, figures
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        process.wait(timeout=30)
        subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)


def describe(values):
    return (f"median {statistics.median(values):6.1f} ms  min {min(values):6.1f}  max {max(values):6.1f}"
            f"  (n={len(values)})")


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: bench-keys.py FRAMEBUFFER_FILE BIN_DIR SWITCHES")
    fb_path, bin_dir, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    helper = os.path.join(bin_dir, "tallyleaf_bench.exe")
    try:
        fb = FrameBuffer(fb_path)
        keys = Keyboard()
        rects, (app_first, app_last) = run_program([os.path.join(bin_dir, "tallyleaf.exe")], fb, keys, helper,
                                                   TITLE, count, second_start=True)
        floor_args = [os.path.join(bin_dir, "tallyleaf_floor.exe")]
        for name in ("window", "tree", "editor"):
            floor_args += [str(v) for v in rects[name]]
        if os.environ.get("BENCH_KEYS_WRAP") == "0":
            floor_args.append("nowrap")
        _, (floor_first, floor_last) = run_program(floor_args, fb, keys, helper, FLOOR_TITLE, count)
    except (BenchError, subprocess.SubprocessError, OSError) as e:
        sys.exit(f"bench-keys: {e}")
    print("\nNote switch as the user sees it: Down in the tree to the editor's pixels changed")
    wrap = "off" if os.environ.get("BENCH_KEYS_WRAP") == "0" else "on"
    print(f"(Xvfb frame buffer; {count} switches each, after {WARM_UP} not counted; 1,000 notes;"
          f" word wrap {wrap})\n")
    print(f"  Tallyleaf, first change:  {describe(app_first)}")
    print(f"  Tallyleaf, editor still:  {describe(app_last)}")
    print(f"  floor, first change:      {describe(floor_first)}")
    print(f"  floor, editor still:      {describe(floor_last)}")
    # The floor starts on its first item and its texts go 200 B, 2 KB, 20 KB, ... down the tree;
    # so do Tallyleaf's notes with BENCH_KEYS_NOTES=sized.
    sized = [("floor", floor_first)]
    if os.environ.get("BENCH_KEYS_NOTES") == "sized":
        sized.insert(0, ("Tallyleaf", app_first))
    for label, all_values in sized:
        for i, size in enumerate(("200 B", "2 KB", "20 KB")):
            values = [v for k, v in enumerate(all_values) if (WARM_UP + 1 + k) % 3 == i]
            print(f"  {label}, first change, {size + ':':7}{describe(values)}")
    if os.environ.get("BENCH_KEYS_SAMPLES"):
        # Every switch in turn (the floor's texts go 2 KB, 20 KB, 200 B, ... from its first Down).
        for label, values in (("Tallyleaf", app_first), ("floor", floor_first)):
            print(f"  {label} samples: " + " ".join(f"{v:.0f}" for v in values))
    ratio = statistics.median(app_first) / statistics.median(floor_first)
    print(f"\n  Tallyleaf / floor (medians of the first change): x{ratio:.2f}")
    print(f"  ('editor still' is the last change, {SETTLED_S * 1000:.0f} ms before the editor counted as still)")
    with open(os.path.join(bin_dir, "bench-keys-results.csv"), "w") as f:
        f.write("program,figure,switches,median_ms,min_ms,max_ms\n")
        for program, figure, values in (("tallyleaf", "first change", app_first),
                                        ("tallyleaf", "editor still", app_last),
                                        ("floor", "first change", floor_first),
                                        ("floor", "editor still", floor_last)):
            f.write(f"{program},{figure},{len(values)},{statistics.median(values):.2f},{min(values):.2f},"
                    f"{max(values):.2f}\n")


if __name__ == "__main__":
    main()
