#!/usr/bin/env python3
"""Times note switches as a user sees them: a Down key sent to the X server
while the tree has the keyboard focus, to the first change of the editor's
pixels in Xvfb's frame buffer (and to the last one, once the editor is still).

Run by scripts/bench-keys, which sets up Wine and the Xvfb display (with
-fbdir); see there for the usage. For each set of notes it writes the notes
database, measures tallyleaf.exe and then the floor program (tallyleaf_floor.exe:
a bare tree and edit control laid out like Tallyleaf's) on the same texts, and
prints both medians and their ratio.
"""
import ctypes
import glob
import mmap
import os
import shutil
import statistics
import struct
import subprocess
import sys
import time

TITLE = "Tallyleaf - Work faster."
FLOOR_TITLE = "Tallyleaf floor"
XK_DOWN = 0xFF54
XK_ESCAPE = 0xFF1B
XK_ALT_L = 0xFFE9
XK_S = 0x73
SETTLED_S = 0.3        # the editor counts as still after this long without a change
SWITCH_TIMEOUT_S = 10  # no switch of an everyday note may take anywhere near this long
WINDOW_TIMEOUT_S = 60
WARM_UP = 5
TARGET = 1.15          # Tallyleaf / floor at most
# The two ways of giving both programs the same texts: the floor shows Tallyleaf's
# everyday notes (its top-level rows, in its order), or Tallyleaf shows the floor's
# own texts (200 B, 2 KB, 20 KB in turn).
NOTES = {
    "everyday": "Tallyleaf's everyday notes in both",
    "sized": "the floor's texts in both (200 B, 2 KB, 20 KB in turn)",
}


class BenchError(Exception):
    pass


class FrameBuffer:
    """Xvfb's screen 0 as it writes it into -fbdir: an XWD file, mapped."""

    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            self.map = mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)
        fields = struct.unpack(">25I", self.map[:100])
        header_size, bits_per_pixel, self.bytes_per_line, ncolors = fields[0], fields[11], fields[12], fields[19]
        self.size = (fields[4], fields[5])
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


class CpuMeter:
    """The processor time, in ns, that the program's process, the Wine server and the X server
    have used (every thread's /proc/PID/task/TID/schedstat): a switch's cost that a busy
    machine's other work does not inflate as it does wall-clock times."""

    def __init__(self, exe, fb_path):
        self.exe = exe.encode()
        # Other Wine prefixes and X servers on the machine are not this bench's.
        self.prefix = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
        self.fbdir = os.path.dirname(fb_path).encode()
        # The prefix's Wine server runs in a folder named after the prefix's device and inode.
        prefix = os.stat(os.environ.get("WINEPREFIX", "."))
        self.server_dir = f"server-{prefix.st_dev:x}-{prefix.st_ino:x}"

    def _wanted(self, pid):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmdline = f.read()
            with open(f"/proc/{pid}/comm") as f:
                comm = f.read().strip()
            if comm == "Xvfb":
                return comm if self.fbdir in cmdline else None
            if comm.startswith("wineserver"):  # wineserver64 for a 64-bit prefix
                return "wineserver" if os.readlink(f"/proc/{pid}/cwd").endswith(self.server_dir) else None
            with open(f"/proc/{pid}/environ", "rb") as f:
                ours = self.prefix in f.read().split(b"\0")
        except OSError:
            return None
        return "program" if ours and self.exe in cmdline else None

    def read(self):
        totals = {"program": 0, "wineserver": 0, "Xvfb": 0}
        for pid in filter(str.isdigit, os.listdir("/proc")):
            who = self._wanted(pid)
            if who is None:
                continue
            try:
                for tid in os.listdir(f"/proc/{pid}/task"):
                    with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                        totals[who] += int(f.read().split()[0])
            except OSError:
                continue
        return totals

    def program_pids(self):
        return [pid for pid in filter(str.isdigit, os.listdir("/proc")) if self._wanted(pid) == "program"]


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

    def press(self, keysym, held=()):
        """Sends a key (press and release, with the keys `held` around it) and returns the moment
        it left for the server."""
        codes = [self.x11.XKeysymToKeycode(self.display, k) for k in (*held, keysym)]
        for code in codes:
            self.xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        for code in reversed(codes):
            self.xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        sent = time.perf_counter()
        self.x11.XFlush(self.display)
        return sent

    def press_down(self):
        return self.press(XK_DOWN)


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


def measure(fb, keys, rect, count, name, cpu):
    """Times `count` switches (after the warm-up); returns the first- and last-change times in ms
    and the processor time a switch took in each of the program, the Wine server and Xvfb."""
    first, last = [], []
    watch = EditorWatch(fb, rect)
    for n in range(WARM_UP + count):
        wait_still(watch)
        if n == WARM_UP:
            before = cpu.read()
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
    after = cpu.read()
    return first, last, {who: (after[who] - before[who]) / 1e6 / count for who in after}


def click_tree(tree):
    """A click on the tree's first item gives the tree the keyboard focus."""
    subprocess.run(["xdotool", "mousemove", str(tree[0] + 30), str(tree[1] + 9), "click", "1"], check=True)


def time_key(keys, watch, keysym, held, what):
    """Sends a key once the screen is still; returns the ms to its first and to its last change."""
    wait_still(watch)
    sent = keys.press(keysym, held)
    deadline = sent + SWITCH_TIMEOUT_S
    while not watch.changed():
        if time.perf_counter() > deadline:
            raise BenchError(f"{what} did not change the screen within {SWITCH_TIMEOUT_S} s")
        time.sleep(0.0005)
    changed = time.perf_counter()
    settled = wait_still(watch, changed)
    return (changed - sent) * 1000, (settled - sent) * 1000


def measure_show_hide(keys, fb, rects, count, name, helper):
    """Times `count` hides (Esc in the tree) and call-ups (Alt+S) of the window, from the key to the
    first and to the last change of the window's pixels; returns the four lists."""
    hide_first, hide_last, show_first, show_last = [], [], [], []
    # While the window is hidden, X gives the hot key to the window under the pointer: a Wine
    # window of the bench's own at the screen's corner (as the desktop would be on Windows).
    catcher = subprocess.Popen(["wine", helper, "keys-catcher"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(2)
    # The new window may have taken the keyboard focus: a click gives it back to the tree.
    click_tree(rects["tree"])
    rect = rects["window"]
    screen_w, screen_h = fb.size
    subprocess.run(["xdotool", "mousemove", str(screen_w - 35), str(screen_h - 35)], check=True)
    watch = EditorWatch(fb, rect)
    for n in range(WARM_UP + count):
        hidden = time_key(keys, watch, XK_ESCAPE, (), f"{name}: Esc")
        shown = time_key(keys, watch, XK_S, (XK_ALT_L,), f"{name}: Alt+S (the call-up hot key)")
        if n >= WARM_UP:
            hide_first.append(hidden[0])
            hide_last.append(hidden[1])
            show_first.append(shown[0])
            show_last.append(shown[1])
    catcher.kill()
    return hide_first, hide_last, show_first, show_last


def run_program(args, fb, keys, helper, title, count, tag, second_start=False):
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
        click_tree(tree)
        cpu = CpuMeter(os.path.basename(args[0]), fb.path)
        profiler = None
        if os.environ.get("BENCH_KEYS_PERF"):
            # A sampling profile of the program's switches, for `perf report`.
            out = os.path.join(os.environ["BENCH_KEYS_PERF"], f"{os.path.basename(args[0])}-{tag}.perf")
            if os.environ.get("BENCH_KEYS_STRACE"):
                profiler = subprocess.Popen(["strace", *os.environ["BENCH_KEYS_STRACE"].split(), "-o", out + ".strace",
                                             *sum((["-p", p] for p in cpu.program_pids()), [])],
                                            stderr=subprocess.DEVNULL)
                time.sleep(1)
            else:
                profiler = subprocess.Popen(["perf", "record", "-q", "-e", "cpu-clock", "-F", "4000", "-g", "-o",
                                             out, "-p", ",".join(cpu.program_pids())], stderr=subprocess.DEVNULL)
        try:
            figures = measure(fb, keys, rects["text"], count, title, cpu)
        finally:
            if profiler:
                profiler.send_signal(2)
                profiler.wait(timeout=60)
        toggles = int(os.environ.get("BENCH_KEYS_TOGGLES", "20"))
        first, last, used = figures
        figures = {"first": first, "last": last, "cpu": used,
                   "toggles": measure_show_hide(keys, fb, rects, toggles, title, helper) if toggles else None}
        if os.environ.get("BENCH_KEYS_SHOTS"):
            # The screen after the last switch, to see what was measured.
            shot = os.path.join(os.environ["BENCH_KEYS_SHOTS"], f"{title.split()[-1].strip('.')}-{tag}.png")
            subprocess.run(["import", "-window", "root", shot], check=True)
        return rects, figures
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        process.wait(timeout=30)
        subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)


def write_database(helper, notes, count, floor_notes):
    """A fresh data folder (no settings, no backups) holding the notes file, and for the
    everyday notes the floor's copy of Tallyleaf's top-level rows at `floor_notes`."""
    for folder in glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c/users/*/AppData/Roaming/TallyLeaf")):
        shutil.rmtree(folder)
    args = ["keys-database", "count", str(count)]
    if os.environ.get("BENCH_KEYS_WRAP") == "0":
        args.append("nowrap")
    if notes == "sized":
        args.append("sized")
    else:
        # Wine's drive Z: is the root of the Unix file system.
        args += ["floor-notes", "Z:" + floor_notes.replace("/", "\\")]
    print(f"bench-keys: writing {count:,} notes: {NOTES[notes]}", file=sys.stderr)
    if wine(helper, *args).returncode != 0:
        raise BenchError("the notes database could not be written")


def run_both(notes, fb, keys, bin_dir, switches, count):
    """Measures Tallyleaf and then the floor on the same notes; returns both programs' figures."""
    helper = os.path.join(bin_dir, "tallyleaf_bench.exe")
    floor_notes = os.path.join(os.path.dirname(fb.path), "floor-notes.txt")
    write_database(helper, notes, count, floor_notes)
    rects, app = run_program([os.path.join(bin_dir, "tallyleaf.exe")], fb, keys, helper, TITLE, switches, notes,
                             second_start=True)
    floor_args = [os.path.join(bin_dir, "tallyleaf_floor.exe")]
    for name in ("window", "tree", "editor"):
        floor_args += [str(v) for v in rects[name]]
    if os.environ.get("BENCH_KEYS_WRAP") == "0":
        floor_args.append("nowrap")
    floor_args += ["notes", floor_notes] if notes == "everyday" else ["items", str(count)]
    _, floor = run_program(floor_args, fb, keys, helper, FLOOR_TITLE, switches, notes)
    return {"Tallyleaf": app, "floor": floor}


def describe(values):
    return (f"median {statistics.median(values):6.1f} ms  min {min(values):6.1f}  max {max(values):6.1f}"
            f"  (n={len(values)})")


def ratio(figures, pick):
    return statistics.median(pick(figures["Tallyleaf"])) / statistics.median(pick(figures["floor"]))


def report(notes, figures, switches, count):
    """Everything measured on one set of notes."""
    wrap = "off" if os.environ.get("BENCH_KEYS_WRAP") == "0" else "on"
    print(f"\nNote switch as the user sees it, {NOTES[notes]}: Down in the tree to the editor's pixels changed")
    print(f"(Xvfb frame buffer; {switches} switches each, after {WARM_UP} not counted; {count:,} notes;"
          f" word wrap {wrap})\n")
    for label in ("Tallyleaf", "floor"):
        print(f"  {label + ', first change:':26}{describe(figures[label]['first'])}")
        print(f"  {label + ', editor still:':26}{describe(figures[label]['last'])}")
    if notes == "sized":
        # Both start on their first row, and the texts go 200 B, 2 KB, 20 KB, ... down the tree.
        for label in ("Tallyleaf", "floor"):
            for i, size in enumerate(("200 B", "2 KB", "20 KB")):
                values = [v for k, v in enumerate(figures[label]["first"]) if (WARM_UP + 1 + k) % 3 == i]
                print(f"  {label}, first change, {size + ':':7}{describe(values)}")
    if os.environ.get("BENCH_KEYS_SAMPLES"):
        for label in ("Tallyleaf", "floor"):
            print(f"  {label} samples: " + " ".join(f"{v:.0f}" for v in figures[label]["first"]))
    # The processor time of a switch: a figure that other work on the machine hardly moves.
    print("\n  Processor time a switch (the 300 ms of stillness included; ms):")
    for label in ("Tallyleaf", "floor"):
        used = figures[label]["cpu"]
        print(f"  {label + ':':11}program {used['program']:6.2f}  Wine server {used['wineserver']:6.2f}"
              f"  Xvfb {used['Xvfb']:6.2f}  all {sum(used.values()):6.2f}")
    print(f"\n  Tallyleaf / floor (medians of the first change): x{ratio(figures, lambda f: f['first']):.2f}")
    if figures["Tallyleaf"]["toggles"] and figures["floor"]["toggles"]:
        print("\nCall-up (Alt+S) and hide (Esc in the tree) as the user sees them: the key to the window's"
              " pixels changed\n(first change; 'drawn': the last change, the window with its note)\n")
        for label in ("Tallyleaf", "floor"):
            hide_first, _, show_first, show_last = figures[label]["toggles"]
            for name, values in (("call-up first change", show_first), ("call-up drawn", show_last),
                                 ("hide", hide_first)):
                print(f"  {f'{label}, {name}:':34}{describe(values)}")
    print(f"  ('editor still' is the last change, {SETTLED_S * 1000:.0f} ms before the editor counted as still)")


# The headline's figures: the name, and which of a program's figures gives it.
HEADLINE = (
    ("note switch, first change", lambda f: f["first"]),
    ("call-up, window drawn", lambda f: f["toggles"][3]),
    ("hide", lambda f: f["toggles"][0]),
)


def headline(results, count):
    """The ratios that matter, both ways of comparing like for like, beside the target."""
    print(f"\nTallyleaf / floor on the same texts, {count:,} notes (medians; target x{TARGET:.2f} or less)\n")
    print(f"  {'':34}{'Tallyleaf':>10}{'floor':>10}{'ratio':>8}")
    for notes, figures in results.items():
        print(f"  {NOTES[notes]}:")
        for name, pick in HEADLINE:
            if not figures["Tallyleaf"]["toggles"] and name != HEADLINE[0][0]:
                continue
            app, floor = (statistics.median(pick(figures[label])) for label in ("Tallyleaf", "floor"))
            verdict = "" if app / floor <= TARGET else "  over"
            print(f"    {name:32}{app:7.1f} ms{floor:7.1f} ms   x{app / floor:.2f}{verdict}")


def write_csv(path, results, count):
    with open(path, "w") as f:
        f.write("notes,count,program,figure,switches,median_ms,min_ms,max_ms\n")
        for notes, figures in results.items():
            for label in ("Tallyleaf", "floor"):
                program = figures[label]
                rows = [("first change", program["first"]), ("editor still", program["last"])]
                rows += zip(("hide", "hide still", "call-up first change", "call-up drawn"), program["toggles"] or ())
                for figure, values in rows:
                    f.write(f"{notes},{count},{label.lower()},{figure},{len(values)},{statistics.median(values):.2f},"
                            f"{min(values):.2f},{max(values):.2f}\n")


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: bench-keys.py FRAMEBUFFER_FILE BIN_DIR SWITCHES")
    fb_path, bin_dir, switches = sys.argv[1], sys.argv[2], int(sys.argv[3])
    count = int(os.environ.get("BENCH_KEYS_COUNT", "1000"))
    chosen = os.environ.get("BENCH_KEYS_NOTES") or "both"
    if chosen not in (*NOTES, "both"):
        sys.exit(f"bench-keys: BENCH_KEYS_NOTES is everyday, sized or both, not '{chosen}'")
    results = {}
    try:
        fb = FrameBuffer(fb_path)
        keys = Keyboard()
        for notes in NOTES:
            if chosen in (notes, "both"):
                results[notes] = run_both(notes, fb, keys, bin_dir, switches, count)
    except (BenchError, subprocess.SubprocessError, OSError) as e:
        sys.exit(f"bench-keys: {e}")
    for notes, figures in results.items():
        report(notes, figures, switches, count)
    headline(results, count)
    write_csv(os.path.join(bin_dir, "bench-keys-results.csv"), results, count)


if __name__ == "__main__":
    main()
