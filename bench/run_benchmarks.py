#!/usr/bin/env python3
"""Runs every Moravel benchmark several times and writes docs/benchmarks.json and docs/benchmarks.md.

Steps: scenes (frame times per stretch of the schedule, glFinish every frame), count (triangles and
fragments per frame), timedemo (the whole run as fast as it goes), startup (data present and from an
empty folder), capture (real-time factor of the video capture at scale 1 and 2), sync (the live demo
under Xvfb: demo time against the music's position, and after a 5 s stop), readers (Google Benchmark). Timings are never
judged here; the targets are only set beside them in the document.
"""
import argparse
import csv
import datetime
import json
import os
import platform
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

# The 15 stretches of the schedule, by demo time (ms): [start, end). The rows of the schedule that make
# each one are named in the document.
STRETCHES = [
    ("cube fade", 0, 900, "wide-angle cube, brightness 0.1 to 0.9 in steps"),
    ("cube", 900, 12000, "wide-angle cube"),
    ("cube with logos", 12000, 18000, "cube + logo layers 1, 2, 3"),
    ("box", 18000, 20000, "spinning box"),
    ("box with star", 20000, 32000, "spinning box + cube star"),
    ("wobble, spinners, credits", 32000, 44000, "wobbling picture + spinner pair + credit panels"),
    ("sliding backdrop", 44000, 44750, "backdrop sliding out"),
    ("spinners", 44750, 49500, "spinner pair on black"),
    ("violet spinner, pictures", 49500, 55500, "two tinted spinners + mk.jpg in and out"),
    ("tubes", 55500, 69000, "twin ring tubes (tinted spinners under them to 59.5 s)"),
    ("rose, white", 69000, 72000, "roza.txt mesh"),
    ("rose, orange", 72000, 75000, "roza.txt mesh"),
    ("rose, cyan", 75000, 78000, "roza.txt mesh"),
    ("rose, white, credits", 78000, 90000, "roza.txt mesh + credit panels from 81 s"),
    ("end picture", 90000, 10**9, "ende.jpg fading in"),
]
BAND_PIXELS = 630 * 360  # the picture band the viewport covers at scale 1: one full-screen layer
RUN_SECONDS = 121.0
TARGETS = {
    "scene_p95_ms": 16.7,
    "scene_cpu_p95_ms": 8.3,
    "startup_headless_ms": 150.0,
    "timedemo_fps": 120.0,
    "startup_present_ms": 300.0,
    "startup_empty_ms": 1000.0,
    "capture_rtf_scale1": 1.0,
    "sync_p99_ms": 20.0,
}


def paths_env(paths, base=None):
    """The environment that runs a benchmark program on the production's new or old paths."""
    env = dict(base if base is not None else os.environ)
    env["MORAVEL_BENCH_PATHS"] = paths
    return env


def log(message):
    print(f"[bench {time.strftime('%H:%M:%S')}] {message}", flush=True)


def loadavg():
    with open("/proc/loadavg") as f:
        return [float(x) for x in f.read().split()[:3]]


def percentile(values, p):
    """Nearest-rank percentile of a non-empty list."""
    ordered = sorted(values)
    rank = max(1, min(len(ordered), int(round(p / 100.0 * len(ordered) + 0.5))))
    return ordered[rank - 1]


def spread(values):
    """Median, min and max of per-run values, and how many runs."""
    values = [v for v in values if v is not None]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values), "runs": len(values)}


class Bench:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build)
        self.dist = os.path.join(self.build, "dist")
        self.benchdir = os.path.join(self.build, "bench")
        self.work = tempfile.mkdtemp(prefix="moravel-bench-")
        self.results = {}

    def tool(self, name):
        return os.path.join(self.benchdir, name)

    def fresh_folder(self, name, with_data):
        """A release folder (demo, extractor, archive); with the data extracted when asked."""
        folder = os.path.join(self.work, name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for item in ("moravel", "vfs.dll", "moravel.vfs"):
            shutil.copy2(os.path.join(self.dist, item), folder)
        if with_data:
            subprocess.run(["./vfs.dll", "--e", "data"], cwd=folder, check=True, stdout=subprocess.DEVNULL)
        return folder

    def measured(self, command, cwd, env=None, timeout=None):
        """Runs one child and returns (code, wall s, peak RSS KiB, stdout, stderr), the RSS from wait4."""
        started = time.monotonic()
        process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   text=True)
        out, err = "", ""
        deadline = None if timeout is None else started + timeout
        # Read the pipes on threads' behalf through communicate, but reap with wait4 for the rusage.
        import threading
        chunks = {"out": [], "err": []}

        def drain(stream, key):
            for line in stream:
                chunks[key].append(line)

        readers = [threading.Thread(target=drain, args=(process.stdout, "out")),
                   threading.Thread(target=drain, args=(process.stderr, "err"))]
        for r in readers:
            r.start()
        while True:
            pid, status, usage = os.wait4(process.pid, os.WNOHANG)
            if pid != 0:
                break
            if deadline is not None and time.monotonic() > deadline:
                process.kill()
                pid, status, usage = os.wait4(process.pid, 0)
                break
            time.sleep(0.01)
        wall = time.monotonic() - started
        for r in readers:
            r.join()
        process.returncode = os.waitstatus_to_exitcode(status)
        return process.returncode, wall, usage.ru_maxrss, "".join(chunks["out"]), "".join(chunks["err"])

    # ---- the browser -----------------------------------------------------------------------------
    def web(self):
        """The web build watched to its end in headless Chromium on the real clock: frame times per stretch."""
        root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
        out = os.path.join(self.work, "web")
        env = dict(os.environ, MORAVEL_WEB_OUTPUT=out)
        code, wall, _, stdout, stderr = self.measured(["bash", "scripts/web-tests.sh", "watch"], root, env, 1800)
        if code != 0 or "SKIP" in stdout:
            raise RuntimeError(f"the web run failed ({code}): {stdout[-800:]} {stderr[-800:]}")
        with open(os.path.join(out, "watch.csv")) as f:
            frames = [tuple(float(v) for v in line.split(",")) for line in list(f)[1:] if line.strip()]
        # A frame's time runs from the previous frame's presentation to its own; the loading frames
        # (demo time 0) are left out.
        intervals = [(frames[i][1], frames[i][0] - frames[i - 1][0]) for i in range(1, len(frames))
                     if frames[i][1] > 0]
        stretches = []
        for i, (name, start, end, _) in enumerate(STRETCHES):
            ms = [d for t, d in intervals if self.stretch_of(t) == i]
            if not ms:
                stretches.append({"name": name})
                continue
            stretches.append({"name": name, "frames": len(ms), "fps": len(ms) * 1000.0 / sum(ms),
                              "median_ms": statistics.median(ms), "p95_ms": percentile(ms, 95), "max_ms": max(ms)})
        played = [d for _, d in intervals]
        version = subprocess.run(["chromium", "--version"], capture_output=True, text=True).stdout.strip()
        self.results["web"] = {"browser": version, "stretches": stretches, "frames": len(played),
                               "fps": len(played) * 1000.0 / sum(played), "wall_s": round(wall, 1)}

    # ---- machine ---------------------------------------------------------------------------------
    def machine(self):
        info = {"cores": os.cpu_count(), "kernel": platform.release(), "date": datetime.datetime.now().isoformat(
            timespec="seconds"), "loadavg_at_start": loadavg()}
        try:
            lscpu = subprocess.run(["lscpu"], capture_output=True, text=True).stdout
            for line in lscpu.splitlines():
                if line.startswith("Model name:"):
                    info["cpu"] = line.split(":", 1)[1].strip()
        except OSError:
            info["cpu"] = platform.processor()
        try:
            ps = subprocess.run(["ps", "-eo", "ni,pcpu,comm", "--sort=-pcpu"], capture_output=True, text=True).stdout
            info["busiest_processes_at_start"] = [" ".join(l.split()) for l in ps.splitlines()[1:9]]
        except OSError:
            pass
        self.results.setdefault("machine", {}).update(info)

    # ---- scenes, count, timedemo ------------------------------------------------------------------
    def frame_run(self, tool, extra, label, run, paths="new"):
        folder = self.fresh_folder(f"frames-{label}-{run}", with_data=True)
        csv_file = os.path.join(folder, "frames.csv")
        before = loadavg()
        code, wall, rss, out, err = self.measured([self.tool(tool), *extra, "--csv", csv_file], folder,
                                                  env=paths_env(paths), timeout=3600)
        if code != 0:
            raise RuntimeError(f"{tool} failed: {err[-2000:]}")
        summary = json.loads(out.strip().splitlines()[-1])
        with open(csv_file) as f:
            rows = [{k: float(v) for k, v in row.items()} for row in csv.DictReader(f)]
        shutil.rmtree(folder, ignore_errors=True)
        log(f"{label} run {run + 1} ({paths} paths): {len(rows)} frames in {wall:.1f} s, load {before[0]:.1f}")
        return {"rows": rows, "wall": wall, "rss_kib": rss, "summary": summary, "load": [before, loadavg()]}

    @staticmethod
    def scheduled(rows):
        return [r for r in rows if r["load_state"] == 2]

    @staticmethod
    def stretch_of(t):
        for i, (_, start, end, _) in enumerate(STRETCHES):
            if start <= t < end:
                return i
        return None

    def scenes(self):
        # The new and the old paths alternate, so a change in the machine's load touches both alike.
        runs = {"new": [], "old": []}
        for i in range(self.args.runs):
            for paths in ("new", "old"):
                runs[paths].append(self.frame_run("moravel-bench-frames", ["--finish"], "scenes", i, paths))
        per_stretch = []
        for i, (name, start, end, what) in enumerate(STRETCHES):
            stretch = {"name": name, "from_ms": start, "to_ms": min(end, 121100), "draws": what}
            for paths, path_runs in runs.items():
                measures = self.stretch_measures(path_runs, i)
                stretch.update(measures if paths == "new" else {"old": measures})
            per_stretch.append(stretch)
        self.results["scenes"] = {
            "runs": len(runs["new"]), "stretches": per_stretch,
            "renderer": runs["new"][0]["summary"]["renderer"],
            "peak_rss_mib": spread([r["rss_kib"] / 1024 for r in runs["new"]]),
            "load": [r["load"] for r in runs["new"] + runs["old"]]}
        self.results["machine"]["renderer"] = runs["new"][0]["summary"]["renderer"]

    def stretch_measures(self, runs, i):
        """Frame times of stretch i over the runs: the spread of each run's median, p95 and max."""
        medians, p95s, maxes, counts, cpu_medians, cpu_p95s = [], [], [], [], [], []
        for run in runs:
            rows = [r for r in self.scheduled(run["rows"]) if self.stretch_of(r["demo_time"]) == i]
            if not rows:
                continue
            ms = [r["ms"] for r in rows]
            cpu = [r["cpu_ms"] for r in rows]
            medians.append(statistics.median(ms))
            p95s.append(percentile(ms, 95))
            maxes.append(max(ms))
            counts.append(len(ms))
            cpu_medians.append(statistics.median(cpu))
            cpu_p95s.append(percentile(cpu, 95))
        return {"frames": counts[0] if counts else 0, "median_ms": spread(medians), "p95_ms": spread(p95s),
                "max_ms": spread(maxes), "cpu_median_ms": spread(cpu_medians), "cpu_p95_ms": spread(cpu_p95s)}

    def count(self):
        run = self.frame_run("moravel-bench-count", [], "count", 0)
        stretches = []
        for i, (name, _, _, _) in enumerate(STRETCHES):
            rows = [r for r in self.scheduled(run["rows"]) if self.stretch_of(r["demo_time"]) == i]
            if not rows:
                stretches.append({"name": name})
                continue
            tri = [r["triangles"] for r in rows]
            layers = [r["fragments"] / BAND_PIXELS for r in rows]
            clears = [r["clears"] for r in rows]
            stretches.append({"name": name, "triangles_median": statistics.median(tri), "triangles_max": max(tri),
                              "layers_median": statistics.median(layers), "layers_max": max(layers),
                              "clears_median": statistics.median(clears)})
        self.results["count"] = {"stretches": stretches}

    def timedemo(self):
        runs = [self.frame_run("moravel-bench-frames", [], "timedemo", i) for i in range(self.args.runs)]
        fps, worst, worst_later, frames, cpu = [], [], [], [], []
        for run in runs:
            rows = self.scheduled(run["rows"])
            total = sum(r["ms"] for r in rows)
            fps.append(len(rows) / (total / 1000.0))
            worst.append(max(r["ms"] for r in rows))
            worst_later.append(max(r["ms"] for r in rows if r["demo_time"] >= 2000))
            frames.append(len(rows))
            cpu.append(sum(r["cpu_ms"] for r in rows) / len(rows))
        self.results["timedemo"] = {"runs": len(runs), "frames": frames[0], "average_fps": spread(fps),
                                    "worst_frame_ms": spread(worst), "worst_frame_after_2s_ms": spread(worst_later),
                                    "cpu_ms_per_frame": spread(cpu),
                                    "peak_rss_mib": spread([r["rss_kib"] / 1024 for r in runs]),
                                    "load": [r["load"] for r in runs]}

    # ---- start-up -----------------------------------------------------------------------------------
    PHASES = [
        ("process start to main", "launch", "main"),
        ("extractor (vfs.dll --e data)", "extractor_start", "extractor_done"),
        ("window and GL context", "window_start", "init_scene_start"),
        ("render state, cube list", "init_scene_start", "batch1_start"),
        ("first texture batch (10)", "batch1_start", "batch1_done"),
        ("point models (2)", "models_start", "models_done"),
        ("sound set-up", "sound_start", "sound_done"),
        ("second texture batch (19)", "batch2_start", "batch2_done"),
        ("first scheduled frame", "batch2_done", "first_frame_done"),
        ("total: start to first LoadState-2 frame", "launch", "first_frame_done"),
    ]

    def startup(self):
        folder = self.fresh_folder("startup", with_data=False)
        xvfb, display = self.start_xvfb()
        sdl_env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy", MORAVEL_MESSAGES="stderr")
        sdl_env.pop("WAYLAND_DISPLAY", None)
        # Each on the new paths (decoding ahead on worker threads) and on the old (everything in turn).
        variants = {"headless": ("moravel-bench-startup", paths_env("new")),
                    "sdl": ("moravel-bench-startup-sdl", paths_env("new", sdl_env)),
                    "headless_old": ("moravel-bench-startup", paths_env("old")),
                    "sdl_old": ("moravel-bench-startup-sdl", paths_env("old", sdl_env))}
        # The demo reads its data in its own folder, whatever the working folder: the tools run from
        # the release folder, as the demo does.
        for tool in {tool for tool, _ in variants.values()}:
            shutil.copy2(self.tool(tool), folder)
        results = {v: {"present": [], "empty": []} for v in variants}
        try:
            # Alternate the cases so a change in the machine's load touches all of them alike.
            for i in range(self.args.startup_runs):
                for variant, (tool, env) in variants.items():
                    for case in ("empty", "present"):
                        if case == "empty":
                            shutil.rmtree(os.path.join(folder, "data"), ignore_errors=True)
                        launch = time.monotonic_ns() // 1000
                        code, wall, rss, out, err = self.measured([os.path.join(folder, tool)], folder, env=env,
                                                                  timeout=120)
                        if code != 0:
                            raise RuntimeError(f"{tool} failed: {err[-2000:]}")
                        stamps = json.loads(out.strip().splitlines()[-1])
                        stamps["launch"] = launch
                        results[variant][case].append(
                            {name: (stamps[b] - stamps[a]) / 1000.0 for name, a, b in self.PHASES})
        finally:
            xvfb.send_signal(signal.SIGTERM)
            xvfb.wait()
        self.results["startup"] = {
            variant: {case: {"runs": len(runs), "phases": [{"phase": name, "ms": spread([r[name] for r in runs])}
                                                         for name, _, _ in self.PHASES]}
                      for case, runs in cases.items()}
            for variant, cases in results.items()}
        for variant in variants:
            log("startup {}: total with data {:.0f} ms, empty {:.0f} ms (medians)".format(
                variant, self.results["startup"][variant]["present"]["phases"][-1]["ms"]["median"],
                self.results["startup"][variant]["empty"]["phases"][-1]["ms"]["median"]))

    # ---- capture --------------------------------------------------------------------------------------
    def capture(self):
        capture = os.path.join(self.build, "tools", "capture", "moravel-capture")
        folder = self.fresh_folder("capture", with_data=True)
        out = {}
        for scale in self.args.capture_scales:
            rtf, rss = [], []
            for i in range(self.args.capture_runs):
                video = os.path.join(folder, f"capture-{scale}.mp4")
                before = loadavg()
                code, wall, peak, _, err = self.measured([capture, "--scale", str(scale), "--video", video], folder,
                                                         timeout=7200)
                if code != 0:
                    raise RuntimeError(f"moravel-capture failed: {err[-2000:]}")
                rtf.append(wall / RUN_SECONDS)
                rss.append(peak / 1024)
                log(f"capture scale {scale} run {i + 1}: {wall:.1f} s, real-time factor {wall / RUN_SECONDS:.2f},"
                    f" load {before[0]:.1f}")
                os.remove(video)
            out[f"scale{scale}"] = {"runs": len(rtf), "real_time_factor": spread(rtf), "peak_rss_mib": spread(rss)}
        # Scales not run this time keep their earlier results.
        self.results.setdefault("capture", {}).update(out)

    # ---- sound in step ----------------------------------------------------------------------------------
    def start_xvfb(self):
        # Xvfb picks a free display itself and writes its number once it accepts clients; it never
        # resets, so a client that connects just as another leaves is not refused.
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                                 "-noreset"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as numbers:
            number = numbers.readline().strip()
        if not number.isdigit():
            xvfb.kill()
            xvfb.wait()
            raise RuntimeError("cannot start Xvfb")
        return xvfb, f":{number}"

    def sync(self):
        folder = self.fresh_folder("sync", with_data=True)
        xvfb, display = self.start_xvfb()
        runs = []
        try:
            for i in range(self.args.sync_runs):
                trace = os.path.join(folder, f"sync-{i}.txt")
                env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy", MORAVEL_SYNC_TRACE=trace,
                           MORAVEL_MESSAGES="stderr")
                env.pop("WAYLAND_DISPLAY", None)
                launch = time.monotonic_ns() // 1000
                before = loadavg()
                code, wall, rss, _, err = self.measured(["./moravel"], folder, env=env, timeout=600)
                if code != 0:
                    raise RuntimeError(f"moravel failed ({code}): {err[-2000:]}")
                runs.append(self.read_trace(trace, launch, wall, rss))
                log(f"sync run {i + 1}: {runs[-1]['frames']} frames, {runs[-1]['fps']:.0f} fps, difference median "
                    f"{runs[-1]['median_ms']:.1f} ms, p99 |d| {runs[-1]['p99_abs_ms']:.1f} ms, load {before[0]:.1f}")
            stalls = [self.stalled_run(folder, display, i) for i in range(self.args.stall_runs)]
        finally:
            xvfb.send_signal(signal.SIGTERM)
            xvfb.wait()
        stall_keys = ["stall_s", "before_ms", "at_1s_ms", "max_abs_after_1s_ms", "settled_ms", "moved_after_ms",
                      "ideal_at_1s_ms", "ideal_max_abs_after_1s_ms", "ideal_settled_ms"]
        stall = {"runs": len(stalls), **{k: spread([r[k] for r in stalls]) for k in stall_keys}} if stalls else None
        keys = ["median_ms", "p99_ms", "p1_ms", "p99_abs_ms", "max_abs_ms", "ideal_median_ms", "ideal_p1_ms",
                "ideal_p99_ms", "ideal_p99_abs_ms", "music_start_ms", "clock_zero_bounds_ms", "smoothing_lag_ms",
                "device_lag_ms_per_min",
                "fps", "first_frame_ms", "peak_rss_mib", "on_time_share", "ideal_on_time_p1_ms",
                "ideal_on_time_p99_ms", "ideal_on_time_p99_abs_ms", "frame_interval_p99_ms", "frame_interval_max_ms"]
        self.results["sync"] = {"runs": len(runs), "frames": runs[0]["frames"],
                                **{k: spread([r[k] for r in runs]) for k in keys}}
        if stall:
            self.results["sync"]["stall"] = stall

    def stalled_run(self, folder, display, i):
        """One whole run stopped for 5 s (SIGSTOP, SIGCONT) 20 s into the music: how far apart picture and
        music are before the stall, one second after it, and how soon they are within 40 ms for good; against
        the dummy device's position, and against a device keeping real time from the music's move after it."""
        trace = os.path.join(folder, f"stall-{i}.txt")
        env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy", MORAVEL_SYNC_TRACE=trace,
                   MORAVEL_MESSAGES="stderr")
        env.pop("WAYLAND_DISPLAY", None)
        process = subprocess.Popen(["./moravel"], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 120
            while time.monotonic() < deadline and process.poll() is None:
                last = None
                if os.path.exists(trace):
                    with open(trace) as f:
                        lines = f.read().splitlines()
                    last = lines[-2].split() if len(lines) > 1 else None
                if last and int(last[1]) > 20000 and float(last[2]) >= 0:
                    break
                time.sleep(0.1)
            else:
                raise RuntimeError("the music never got 20 s in")
            process.send_signal(signal.SIGSTOP)
            time.sleep(5)
            process.send_signal(signal.SIGCONT)
            code = process.wait(timeout=600)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        if code != 0:
            raise RuntimeError(f"moravel failed after the stall ({code})")
        with open(trace) as f:
            frames = [(int(us), int(t), float(p)) for us, t, p in (l.split() for l in f if l.strip())]
        gap, resumed = max((frames[k + 1][0] - frames[k][0], k + 1) for k in range(len(frames) - 1))
        resume_us = frames[resumed][0]
        # DemoTime - position on frames with music; a frame shows the DemoTime of its start, so frames that
        # took more than 20 ms are left out, as they differ by their own length.
        d = [(us, t - p) for k, (us, t, p) in enumerate(frames)
             if k > 0 and p >= 0 and frames[k - 1][2] >= 0 and us - frames[k - 1][0] <= 20000]
        before = [x for us, x in d if resume_us - gap - 2e6 <= us < resume_us - gap]
        at_1s = [x for us, x in d if resume_us + 1e6 <= us < resume_us + 1.1e6]
        after = [x for us, x in d if us >= resume_us + 1e6]
        off = [us for us, x in d if us >= resume_us and abs(x) > 40]
        result = {"stall_s": gap / 1e6, "before_ms": statistics.median(before),
                  "at_1s_ms": statistics.median(at_1s) if at_1s else None,
                  "max_abs_after_1s_ms": max(abs(x) for x in after) if after else None,
                  "settled_ms": ((max(off) - resume_us) / 1000.0) if off else 0.0}
        # The dummy device falls behind real time as it goes, and from 20 s in that alone takes the music
        # out of the 40 ms. A device keeping real time plays on from the music's move after the stall: the
        # first frame with the position ahead of the one before by more than the time between them (a
        # jump the size of the stall), then one device buffer later, once the mixer has carried it out.
        move = next((k for k in range(resumed + 1, len(frames)) if frames[k][2] >= 0 and frames[k - 1][2] >= 0 and
                     (frames[k][2] - frames[k - 1][2]) - (frames[k][0] - frames[k - 1][0]) / 1000.0 > 80), None)
        result.update({"moved_after_ms": None, "ideal_at_1s_ms": None, "ideal_max_abs_after_1s_ms": None,
                       "ideal_settled_ms": None})
        if move is not None:
            model = next((k for k in range(move, len(frames))
                          if frames[k][0] - frames[move][0] >= 23.2e3 and frames[k][2] >= 0), None)
        if move is not None and model is not None:
            zero_us = frames[model][0] - frames[model][2] * 1000.0
            ideal = [(us, t - (us - zero_us) / 1000.0) for us, t, p in
                     (frames[k] for k in range(model, len(frames)) if frames[k][2] >= 0 and
                      frames[k][0] - frames[k - 1][0] <= 20000)]
            ideal_at_1s = [x for us, x in ideal if resume_us + 1e6 <= us < resume_us + 1.1e6]
            ideal_after = [x for us, x in ideal if us >= resume_us + 1e6]
            # Until the model starts the music is where the stall left it, seconds behind.
            ideal_off = [us for us, x in ideal if abs(x) > 40] or [frames[model][0]]
            result.update({"moved_after_ms": (frames[move][0] - resume_us) / 1000.0,
                           "ideal_at_1s_ms": statistics.median(ideal_at_1s) if ideal_at_1s else None,
                           "ideal_max_abs_after_1s_ms": max(abs(x) for x in ideal_after) if ideal_after else None,
                           "ideal_settled_ms": (max(ideal_off) - resume_us) / 1000.0})
        log(f"stall run {i + 1}: stopped {result['stall_s']:.2f} s; difference before {result['before_ms']:.1f} ms, "
            f"1 s after {result['at_1s_ms']} ms, largest from then on {result['max_abs_after_1s_ms']} ms, "
            f"within 40 ms for good {result['settled_ms']:.0f} ms after it; music moved {result['moved_after_ms']} "
            f"ms after it; against a device keeping real time from then: 1 s after {result['ideal_at_1s_ms']} ms, "
            f"largest {result['ideal_max_abs_after_1s_ms']} ms, within 40 ms for good {result['ideal_settled_ms']} ms "
            f"after it")
        return result

    @staticmethod
    def read_trace(trace, launch, wall, rss):
        with open(trace) as f:
            frames = [(int(us), int(t), float(p)) for us, t, p in (l.split() for l in f if l.strip())]
        # The music is asked for on the frame after the loading frame; the position is 0 or more once the
        # device has taken some of it (from the start of the music in builds before the music met the clock,
        # which showed 0 until then; from where the clock was since).
        started = next(i for i, (_, _, p) in enumerate(frames) if p >= 0.0)
        # ... and -1 again once the music is over, for the last 100 ms of the run.
        playing = [f for f in frames[started:] if f[2] >= 0.0]
        d = [t - p for _, t, p in playing]
        # Where the music's first sample lies on the clock, whether the music started from it or further in:
        # the first frame that shows the device's position, which runs with the clock through the first buffer.
        first = next(f for f in playing if f[2] > 0.0)
        music_zero_us = first[0] - first[2] * 1000.0
        # Where the demo clock's zero lies: DemoTime := (DemoTime + raw) / 2 (rounded down) gives the raw clock
        # in whole ms at the start of each frame, raw = 2 DemoTime - the DemoTime before (or 1 more). A frame
        # starts after the previous one was traced and before its own trace, and the raw clock is
        # SysGetTickCount (whole monotonic ms) less StartTick, so StartTick lies in [us before - (raw + 2) ms,
        # us after - raw ms] for every pair of frames.
        pairs = [(a, b) for a, b in zip(frames[started:], frames[started + 1:]) if a[2] >= 0.0 and b[2] >= 0.0]
        low = max(a[0] - (2 * b[1] - a[1] + 2) * 1000.0 for a, b in pairs)
        high = min(b[0] - (2 * b[1] - a[1]) * 1000.0 for a, b in pairs)
        clock_zero_us = (low + high) / 2
        # A device that keeps real time from the music's start on, as a sound card does; the dummy device
        # only sleeps between buffers, so it runs at whatever pace the scheduler grants it.
        ideal = [t - max(0.0, (us - music_zero_us) / 1000.0) for us, t, _ in playing]
        minutes = (playing[-1][0] - playing[0][0]) / 60e6
        drift = ((playing[-1][0] - music_zero_us) / 1000.0 - playing[-1][2]) / minutes if minutes > 0 else 0.0
        # DemoTime := (DemoTime + raw) / 2 puts it behind the raw clock by its own last step.
        steps = [b[1] - a[1] for a, b in zip(playing, playing[1:])]
        intervals = [(b[0] - a[0]) / 1000.0 for a, b in zip(playing, playing[1:])]
        # A frame shows the DemoTime of its start; the longer it takes, the later that time is shown. Frames
        # that took at most 16.7 ms, the one before them too, show what the sync is when frames keep time.
        on_time = [ideal[i + 2] for i in range(len(intervals) - 1)
                   if intervals[i] <= 16.7 and intervals[i + 1] <= 16.7]
        ordered = sorted(range(len(intervals)), key=lambda i: intervals[i])
        return {
            "on_time_share": len(on_time) / max(1, len(intervals) - 1),
            "ideal_on_time_p1_ms": percentile(on_time, 1) if on_time else None,
            "ideal_on_time_p99_ms": percentile(on_time, 99) if on_time else None,
            "ideal_on_time_p99_abs_ms": percentile([abs(x) for x in on_time], 99) if on_time else None,
            "frame_interval_p99_ms": intervals[ordered[int(0.99 * (len(ordered) - 1))]],
            "frame_interval_max_ms": max(intervals),
            "frames": len(playing),
            "fps": len(intervals) / (sum(intervals) / 1000.0),
            "median_ms": statistics.median(d), "p99_ms": percentile(d, 99), "p1_ms": percentile(d, 1),
            "p99_abs_ms": percentile([abs(x) for x in d], 99), "max_abs_ms": max(abs(x) for x in d),
            "ideal_median_ms": statistics.median(ideal), "ideal_p1_ms": percentile(ideal, 1),
            "ideal_p99_ms": percentile(ideal, 99), "ideal_p99_abs_ms": percentile([abs(x) for x in ideal], 99),
            "music_start_ms": (music_zero_us - clock_zero_us) / 1000.0,
            "clock_zero_bounds_ms": (high - low) / 1000.0,
            "smoothing_lag_ms": statistics.median(steps),
            "device_lag_ms_per_min": drift,
            "first_frame_ms": (playing[0][0] - launch) / 1000.0,
            "wall_s": wall, "peak_rss_mib": rss / 1024,
        }

    # ---- readers ------------------------------------------------------------------------------------------
    def readers(self):
        tool = self.tool("moravel-bench-readers")
        if not os.path.exists(tool):
            self.results["readers"] = {"missing": "Google Benchmark is not installed"}
            return
        folder = self.fresh_folder("readers", with_data=True)
        out_file = os.path.join(folder, "readers.json")
        subprocess.run([tool, "data", f"--benchmark_repetitions={self.args.runs * 2 - 1}",
                        "--benchmark_min_time=0.2", f"--benchmark_out={out_file}", "--benchmark_out_format=json"],
                       cwd=folder, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out_file) as f:
            report = json.load(f)
        by_name = {}
        for b in report["benchmarks"]:
            if b.get("run_type") != "iteration":
                continue
            entry = by_name.setdefault(b["run_name"], {"mbps": [], "ms": [], "wall_ms": [], "pixels_mbps": []})
            # Google Benchmark counts rates against CPU time, which the machine's other load hardly moves.
            entry["mbps"].append(b["bytes_per_second"] / 1e6)
            entry["ms"].append(b["cpu_time"])
            entry["wall_ms"].append(b["real_time"])
            if "pixels_per_second" in b:
                entry["pixels_mbps"].append(b["pixels_per_second"] / 1e6)
            entry["files"] = b.get("files")
            entry["triangles"] = b.get("triangles")
        self.results["readers"] = {
            name: {"file_mb_per_s": spread(v["mbps"]), "ms_per_pass": spread(v["ms"]),
                   "wall_ms_per_pass": spread(v["wall_ms"]),
                   "pixel_mb_per_s": spread(v["pixels_mbps"]), "files": v.get("files"),
                   "triangles": v.get("triangles")}
            for name, v in by_name.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default="build")
    parser.add_argument("--docs", default="docs")
    parser.add_argument("--runs", type=int, default=3, help="runs of the scene and time-demo passes")
    parser.add_argument("--startup-runs", type=int, default=7)
    parser.add_argument("--capture-runs", type=int, default=1)
    parser.add_argument("--capture-scales", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--sync-runs", type=int, default=3)
    parser.add_argument("--stall-runs", type=int, default=1, help="sync runs stopped for 5 s in the middle")
    parser.add_argument("--only", nargs="+", help="run only these steps and keep the other results")
    parser.add_argument("--render-only", action="store_true", help="rewrite the .md from the .json")
    args = parser.parse_args()

    json_file = os.path.join(args.docs, "benchmarks.json")
    sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
    md_file = os.path.join(args.docs, "benchmarks.md")
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import render_benchmarks

    if args.render_only:
        with open(json_file) as f:
            results = json.load(f)
    else:
        bench = Bench(args)
        steps = ["startup", "readers", "scenes", "count", "timedemo", "sync", "capture", "web"]
        if args.only:
            if os.path.exists(json_file):
                with open(json_file) as f:
                    bench.results = json.load(f)
            steps = [s for s in steps if s in args.only]
        if args.only and "machine" in bench.results:
            # The rest of the results keep the conditions they were measured under.
            bench.results["machine"].setdefault("reruns", []).append(
                {"steps": steps, "date": datetime.datetime.now().isoformat(timespec="seconds"),
                 "loadavg": loadavg()})
        else:
            bench.machine()
        try:
            for step in steps:
                log(f"{step} ...")
                started = time.monotonic()
                bench.results.setdefault("failed", {}).pop(step, None)
                # One step that fails must not cost the others: its error goes into the results.
                try:
                    getattr(bench, step)()
                except Exception as error:  # noqa: BLE001 - any failure is reported, not raised
                    log(f"{step} failed: {error}")
                    bench.results.pop(step, None)
                    bench.results["failed"][step] = str(error)[-1500:]
                bench.results.setdefault("step_seconds", {})[step] = round(time.monotonic() - started, 1)
        finally:
            shutil.rmtree(bench.work, ignore_errors=True)
        results = bench.results
        results["targets"] = TARGETS
        if not args.only:
            results["machine"]["loadavg_at_end"] = loadavg()
            results["settings"] = {"runs": args.runs, "startup_runs": args.startup_runs,
                                   "sync_runs": args.sync_runs}
        os.makedirs(args.docs, exist_ok=True)
        with open(json_file, "w") as f:
            json.dump(results, f, indent=1)
            f.write("\n")
    with open(md_file, "w") as f:
        f.write(render_benchmarks.render(results, STRETCHES))
    log(f"wrote {json_file} and {md_file}")
    if results.get("failed"):
        log(f"failed steps: {', '.join(results['failed'])}")
        sys.exit(1)


if __name__ == "__main__":
    main()
