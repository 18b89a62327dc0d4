"""Turns the benchmark results (docs/benchmarks.json) into docs/benchmarks.md, targets and notes included."""
import os


def fmt(value, digits=1):
    if value is None:
        return "-"
    return f"{value:.{digits}f}"


def cell(s, digits=1, unit=""):
    """A per-run spread as 'median (min to max)'; a single run shows just its value."""
    if not s:
        return "-"
    if s["runs"] == 1 or abs(s["max"] - s["min"]) < 10 ** -digits:
        return f"{fmt(s['median'], digits)}{unit}"
    return f"{fmt(s['median'], digits)}{unit} ({fmt(s['min'], digits)} to {fmt(s['max'], digits)})"


def percent(s):
    """A spread of fractions as one of percentages."""
    return {k: (v * 100 if k in ("median", "min", "max") else v) for k, v in s.items()} if s else None


def verdict(ok):
    return "met" if ok else "**missed**"


def section_machine(r):
    m = r.get("machine", {})
    st = r.get("settings", {})
    lines = ["## Machine and conditions", "",
             f"- CPU: {m.get('cpu', '?')}, {m.get('cores', '?')} cores; kernel {m.get('kernel', '?')}",
             f"- OpenGL: {m.get('renderer', '?')} (headless EGL, software rendering; no GPU)",
             f"- Measured {m.get('date', '?')}; load average (1, 5, 15 min) {m.get('loadavg_at_start')} at the "
             f"start, {m.get('loadavg_at_end')} at the end.",
             f"- Runs: {st.get('runs')} of each frame pass, {st.get('startup_runs')} start-ups of each kind, "
             f"{st.get('sync_runs')} live runs for the sync, the captures as their table says; every "
             "number below is the median over the runs with the lowest and highest run in brackets.",
             "- The machine was shared while this ran: other programs (builds, tests, fuzzers at nice 19) "
             "competed for the same two cores, so wall-clock times are pessimistic and noisy. The CPU "
             "columns (CPU time of every thread of the process per frame) move far less with the load.", ""]
    for rerun in m.get("reruns", []):
        lines.insert(-1, f"- Measured again on {rerun['date']} (load average {rerun['loadavg']}): "
                         f"{', '.join(rerun['steps'])}.")
    busy = m.get("busiest_processes_at_start")
    if busy:
        lines += ["Busiest processes when the run started (nice, %CPU, command):", "", "```", *busy, "```", ""]
    return lines


def section_targets(r):
    t = r.get("targets", {})
    rows = []
    scenes = r.get("scenes", {}).get("stretches", [])
    if scenes:
        worst = max(scenes, key=lambda s: s["p95_ms"]["median"] if s.get("p95_ms") else 0)
        cpu_worst = max(scenes, key=lambda s: s["cpu_p95_ms"]["median"] if s.get("cpu_p95_ms") else 0)
        missed = [s["name"] for s in scenes if s.get("p95_ms") and s["p95_ms"]["median"] > t["scene_p95_ms"]]
        cpu_missed = [s["name"] for s in scenes
                      if s.get("cpu_p95_ms") and s["cpu_p95_ms"]["median"] > t["scene_cpu_p95_ms"]]
        rows.append((f"every stretch: p95 within {t['scene_p95_ms']} ms wall",
                     f"worst: {worst['name']}, {cell(worst['p95_ms'])} ms; over the target: "
                     f"{', '.join(missed) if missed else 'none'}", not missed))
        rows.append((f"every stretch: p95 within {t['scene_cpu_p95_ms']} ms of CPU per frame",
                     f"worst: {cpu_worst['name']}, {cell(cpu_worst.get('cpu_p95_ms'))} ms; over the target: "
                     f"{', '.join(cpu_missed) if cpu_missed else 'none'}", not cpu_missed))
    td = r.get("timedemo")
    if td:
        rows.append((f"whole run > {t['timedemo_fps']:.0f} fps on average", f"{cell(td['average_fps'])} fps",
                     td["average_fps"]["median"] > t["timedemo_fps"]))
    su = r.get("startup")
    if su and "sdl" in su:
        demo = su["sdl"]["present"]["phases"][-1]["ms"]
        headless = su["headless"]["present"]["phases"][-1]["ms"]
        rows.append((f"start-up with data: the demo (SDL, Xvfb) within {t['startup_present_ms']:.0f} ms",
                     f"{cell(demo, 0)} ms", demo["median"] <= t["startup_present_ms"]))
        rows.append((f"start-up with data: headless within {t['startup_headless_ms']:.0f} ms",
                     f"{cell(headless, 0)} ms", headless["median"] <= t["startup_headless_ms"]))
        empty = su["sdl"]["empty"]["phases"][-1]["ms"]
        rows.append((f"start-up from an empty folder < {t['startup_empty_ms']:.0f} ms",
                     f"the demo (SDL, Xvfb): {cell(empty, 0)} ms; headless: "
                     f"{cell(su['headless']['empty']['phases'][-1]['ms'], 0)} ms", empty["median"] < t["startup_empty_ms"]))
    cap = r.get("capture", {}).get("scale1")
    if cap:
        rows.append(("capture at scale 1 faster than real time (factor < 1.0)",
                     f"{cell(cap['real_time_factor'], 2)}", cap["real_time_factor"]["median"] < t["capture_rtf_scale1"]))
    sy = r.get("sync")
    if sy:
        rows.append((f"picture and music within {t['sync_p99_ms']:.0f} ms at p99 against a device keeping real time",
                     f"{cell(sy['ideal_p99_abs_ms'])} ms (against the dummy device's own drifting position: "
                     f"{cell(sy['p99_abs_ms'])} ms)", sy["ideal_p99_abs_ms"]["median"] <= t["sync_p99_ms"]))
        st = sy.get("stall")
        if st and st.get("ideal_at_1s_ms"):
            rows.append(("within 40 ms one second after a 5 s stall (device keeping real time)",
                         f"{cell(st['ideal_at_1s_ms'])} ms (median difference 1.0 to 1.1 s after it)",
                         abs(st["ideal_at_1s_ms"]["median"]) <= 40.0))
    lines = ["## Against the targets", "", "| Target | Measured | |", "|---|---|---|"]
    lines += [f"| {a} | {b} | {verdict(ok)} |" for a, b, ok in rows]
    return lines + [""]


def section_scenes(r, stretches):
    sc = r.get("scenes")
    if not sc:
        return []
    counts = {s["name"]: s for s in r.get("count", {}).get("stretches", [])}
    lines = ["## Per scene", "",
             "Frames rendered on the headless backend with the virtual 60 fps clock, playing from the start as "
             "the capture does, each frame ended by `glFinish`; a frame's time runs from the end of the previous "
             "frame to the end of its `glFinish`, and it belongs to the stretch its demo time falls in. CPU is "
             "the process's CPU time (all threads) in the same interval. Triangles and layers come from one "
             "counting run (see the notes below); layers are the fragments a frame writes divided by the "
             "630 x 360 picture band, so 1.0 is one full-screen layer; clears are colour clears per frame.", "",
             "| Stretch | Demo time (s) | Frames | Median ms | p95 ms | Max ms | CPU median ms | CPU p95 ms "
             "| Triangles | Layers | Clears |",
             "|---|---|---|---|---|---|---|---|---|---|---|"]
    for s in sc["stretches"]:
        c = counts.get(s["name"], {})
        tri = "-" if "triangles_median" not in c else (
            f"{c['triangles_median']:.0f}" if c["triangles_median"] == c["triangles_max"]
            else f"{c['triangles_median']:.0f} (max {c['triangles_max']:.0f})")
        layers = "-" if "layers_median" not in c else f"{c['layers_median']:.2f} (max {c['layers_max']:.2f})"
        clears = "-" if "clears_median" not in c else f"{c['clears_median']:.0f}"
        lines.append(f"| {s['name']} | {s['from_ms'] / 1000:.2f}-{s['to_ms'] / 1000:.2f} | {s['frames']} | "
                     f"{cell(s['median_ms'])} | {cell(s['p95_ms'])} | {cell(s['max_ms'])} | "
                     f"{cell(s.get('cpu_median_ms'))} | {cell(s.get('cpu_p95_ms'))} | {tri} | {layers} | {clears} |")
    lines += ["", "What each stretch draws: " + "; ".join(f"{n}: {w}" for n, _, _, w in stretches) + ".", ""]
    return lines


def section_timedemo(r):
    td = r.get("timedemo")
    if not td:
        return []
    return ["## The whole run as a time demo", "",
            f"Every frame of a 60 fps run ({td['frames']} scheduled frames) on the headless backend, each ended "
            "by `glFlush` as a window's swap would end it (a pbuffer's swap does not flush), not waited for: "
            "the CPU work of one frame overlaps llvmpipe's rasterizer threads finishing the one before. "
            "Average fps = scheduled frames / their total wall time.", "",
            "| Average fps | Worst frame ms | Worst frame after the first 2 s, ms | CPU ms per frame | Peak RSS MiB |",
            "|---|---|---|---|---|",
            f"| {cell(td['average_fps'])} | {cell(td['worst_frame_ms'])} | "
            f"{cell(td.get('worst_frame_after_2s_ms'))} | {cell(td.get('cpu_ms_per_frame'), 2)} | "
            f"{cell(td['peak_rss_mib'])} |", "",
            "The worst frame falls at about 1.1 s of demo time in every run: there llvmpipe rasterizes, in one "
            "go, the frames of the first second that it had held back (they cost next to nothing as they were "
            "submitted); from then on it draws frame by frame. The column beside it leaves that out.", ""]


def section_startup(r):
    su = r.get("startup")
    if not su or "sdl" not in su:
        return []
    lines = ["## Start-up", "",
             "From process start to the first frame with `LoadState` 2 presented (and `glFinish`ed), in a "
             "release folder (`vfs.dll`, `moravel.vfs`). `moravel-bench-startup-sdl` is the demo as people run "
             "it (SDL window and SDL2_mixer sound, here under Xvfb with `SDL_AUDIODRIVER=dummy`); "
             "`moravel-bench-startup` is the same production on the headless backend with the silent sound. "
             "Their steps are wrapped at link time, so each seam is stamped without touching the production; "
             "the launcher notes the monotonic clock just before it starts the process. 'Empty folder' removes "
             "`data/` before each run, so the extractor unpacks all 32 files; 'data present' leaves them, so it "
             "only checks them.", "",
             "| Step | Demo, data present (ms) | Demo, empty folder (ms) | Headless, data present (ms) "
             "| Headless, empty folder (ms) |", "|---|---|---|---|---|"]
    for a, b, c, d in zip(su["sdl"]["present"]["phases"], su["sdl"]["empty"]["phases"],
                          su["headless"]["present"]["phases"], su["headless"]["empty"]["phases"]):
        lines.append(f"| {a['phase']} | {cell(a['ms'])} | {cell(b['ms'])} | {cell(c['ms'])} | {cell(d['ms'])} |")
    return lines + [""]


def section_side_by_side(r):
    """The production's new paths against its old ones, measured alternately in the same run."""
    scenes = [s for s in r.get("scenes", {}).get("stretches", []) if s.get("old")]
    su = r.get("startup", {})
    if not scenes and "sdl_old" not in su:
        return []
    lines = ["## New paths and old, side by side", "",
             "The same programs run with `MORAVEL_BENCH_PATHS=old` take the paths the production first took: "
             "every mesh sent one `glVertex` call at a time inside `glBegin`/`glEnd` (the rose and the "
             "starfish one triangle per pair), and every texture read, decoded and mipmapped by GLU in turn "
             "on the main thread. The new paths draw the meshes from vertex arrays (the models' built once "
             "after loading, the tubes' each frame) and decode the pictures and build their mipmap levels on "
             "a worker thread while the window and the context are made, leaving the main thread only the "
             "uploads, into heap memory the worker has already faulted in. The runs alternate between the "
             "two, so the machine's load touches both alike. The pictures are the same, pixel for pixel.", ""]
    if scenes:
        lines += ["| Stretch | p95 ms, new | p95 ms, old | CPU p95 ms, new | CPU p95 ms, old | CPU median ms, new "
                  "| CPU median ms, old |", "|---|---|---|---|---|---|---|"]
        for s in scenes:
            o = s["old"]
            lines.append(f"| {s['name']} | {cell(s['p95_ms'])} | {cell(o['p95_ms'])} | {cell(s['cpu_p95_ms'])} | "
                         f"{cell(o['cpu_p95_ms'])} | {cell(s['cpu_median_ms'])} | {cell(o['cpu_median_ms'])} |")
        lines.append("")
    if "sdl_old" in su and "headless_old" in su:
        lines += ["Start-up with the data present (ms):", "",
                  "| Step | Demo, new | Demo, old | Headless, new | Headless, old |", "|---|---|---|---|---|"]
        for a, b, c, d in zip(su["sdl"]["present"]["phases"], su["sdl_old"]["present"]["phases"],
                              su["headless"]["present"]["phases"], su["headless_old"]["present"]["phases"]):
            lines.append(f"| {a['phase']} | {cell(a['ms'])} | {cell(b['ms'])} | {cell(c['ms'])} | {cell(d['ms'])} |")
        lines.append("")
    return lines


def section_capture(r):
    cap = r.get("capture")
    if not cap:
        return []
    lines = ["## Capture", "",
             "`moravel-capture --video` for the whole run (start-up included) at 60 fps, with ffmpeg encoding "
             "beside it; real-time factor = wall time / 121 s. Peak RSS is the larger of the capture and its "
             "ffmpeg child.", "", "| Scale | Picture | Runs | Real-time factor | Peak RSS MiB |", "|---|---|---|---|---|"]
    for key, value in sorted(cap.items()):
        scale = int(key.replace("scale", ""))
        lines.append(f"| {scale} | {640 * scale} x {480 * scale} | {value['runs']} | "
                     f"{cell(value['real_time_factor'], 2)} | {cell(value['peak_rss_mib'])} |")
    return lines + [""]


def section_sync(r):
    sy = r.get("sync")
    if not sy:
        return []
    return ["## Sound in step", "",
            "The live demo (`moravel`: SDL backend, Xvfb at 640x480x24, `SDL_AUDIODRIVER=dummy`) with "
            "`MORAVEL_SYNC_TRACE` set: after every presented frame the SDL backend writes the monotonic time, "
            "`DemoTime` and the music's playing position. The position is SDL2_mixer's, counted in the frames "
            "it hands the device after each mix (steps of 1024 frames, 23.2 ms), interpolated by the time "
            "since the latest step; it is -1 until the device has taken some of the music. Difference = "
            "`DemoTime` - position; positive means the picture is ahead of the sound.", "",
            "The music meets the demo clock from its first buffer. The production starts its clock, then asks "
            "for the music; the SDL2_mixer backend starts it right after the device's next mix, where the clock "
            "will be when the device takes its next buffer (one buffer length later), so that buffer holds "
            "the music from the time since the call on, not from its first sample. The music's first sample "
            "therefore lies at the call on the clock, give or take how late the device takes that buffer; "
            "the first row below measures it. (Before the backend did this, the music started from its first "
            "sample with the device's next buffer, 0 to 23 ms after the call, and the picture led by that much "
            "for the whole run, a different amount each run.)", "",
            "The dummy device has no clock of its own: it sleeps 23 ms after each buffer, so it takes the music "
            "at whatever pace the scheduler grants that thread, and on a loaded machine it falls behind real "
            "time steadily (the drift row). A sound card takes its buffers at its own crystal's pace, which "
            "agrees with the system clock to a few parts per million. The second column therefore sets the "
            "picture against such a device: the music position taken as the real time since the music's first "
            "sample, placed on the clock by the first frame that shows a position.", "",
            "| Measure (ms) | Against the dummy device's position | Against a device keeping real time |",
            "|---|---|---|",
            f"| median difference | {cell(sy['median_ms'])} | {cell(sy['ideal_median_ms'])} |",
            f"| 1st / 99th percentile | {cell(sy['p1_ms'])} / {cell(sy['p99_ms'])} | "
            f"{cell(sy['ideal_p1_ms'])} / {cell(sy['ideal_p99_ms'])} |",
            f"| 99th percentile of the size | {cell(sy['p99_abs_ms'])} | {cell(sy['ideal_p99_abs_ms'])} |",
            f"| largest size | {cell(sy['max_abs_ms'])} | |",
            f"| 1st / 99th percentile, frames on time only | | {cell(sy.get('ideal_on_time_p1_ms'))} / "
            f"{cell(sy.get('ideal_on_time_p99_ms'))} |",
            f"| 99th percentile of the size, frames on time only | | {cell(sy.get('ideal_on_time_p99_abs_ms'))} |",
            "", "| Where it comes from | ms |", "|---|---|",
            f"| the music's first sample on the clock, after the demo clock's zero (the production starts its "
            f"clock 1 ms before it asks for the music; the zero is found from the frames' `DemoTime` to within "
            f"{cell(sy.get('clock_zero_bounds_ms'))} ms) | {cell(sy.get('music_start_ms'))} |",
            f"| lag of `DemoTime` behind the raw clock from its smoothing (median step per frame) | "
            f"{cell(sy['smoothing_lag_ms'])} |",
            f"| dummy device falling behind real time, per minute | {cell(sy['device_lag_ms_per_min'])} |",
            "", "'Frames on time' are those presented at most 16.7 ms after the frame before, which itself "
            "was on time: a frame shows the `DemoTime` taken when it began, so a slow frame shows a time that "
            f"is late by its own length. {cell(percent(sy.get('on_time_share')), 1)} % "
            f"of the frames were on time; the 99th percentile of the time between frames was "
            f"{cell(sy.get('frame_interval_p99_ms'))} ms, the longest {cell(sy.get('frame_interval_max_ms'), 0)} ms.",
            "", "With the start aligned, what remains against a device keeping real time is the frames "
            "themselves: `DemoTime` trails the raw clock by its own last step (about one frame) from the "
            "smoothing, and a frame is shown later than the time it was drawn for by its own length. Both put "
            "the picture behind the sound (negative): a few ms on median, and at the 1st percentile the frames "
            "of the heavier scenes, about 10 ms each, their own length and the step together. Only slower "
            "frames, when the machine's load takes the cores away, reach the 20 ms. What the start leaves, "
            "the first row above, goes the other way and takes a little of that off. Against the dummy device "
            "the difference also grows through the run by the device's own drift, which a sound card does not "
            "have.",
            "", f"The live demo ran at {cell(sy['fps'], 0)} fps ({sy['frames']} frames) under Xvfb; peak RSS "
            f"{cell(sy['peak_rss_mib'])} MiB.", ""] + stall_rows(sy.get("stall"))


def stall_rows(st):
    if not st:
        return []
    return ["### After a stall", "",
            f"{st['runs']} more run(s) of the same kind, stopped with SIGSTOP for 5 s 20 s into the music and "
            "resumed with SIGCONT: the demo clock jumps ahead with the wall clock, and the loop moves the music to "
            "`DemoTime` whenever the two are more than 80 ms apart, once the clock has settled. Difference as "
            "above, on frames that took at most 20 ms (a frame shows the `DemoTime` of its start, so a slower one "
            "differs by its own length). Against the dummy device the music falls behind real time from the "
            "move on as it did from the start, and its drift alone can take it out of 40 ms again before the end; "
            "so the second column sets the picture against a device keeping real time from the move on (the "
            "position of the first frame one device buffer after the jump the move makes).",
            "", "| Measure (ms) | Against the dummy device's position | Against a device keeping real time |",
            "|---|---|---|",
            f"| stall (longest time between two frames) | {cell(fmt_s_to_ms(st['stall_s']), 0)} | |",
            f"| median difference in the 2 s before the stall | {cell(st['before_ms'])} | |",
            f"| the music moved to `DemoTime`, this long after the stall | {cell(st.get('moved_after_ms'), 0)} | |",
            f"| median difference one second after the stall (frames 1.0 to 1.1 s after it) | {cell(st['at_1s_ms'])} "
            f"| {cell(st.get('ideal_at_1s_ms'))} |",
            f"| largest size from one second after the stall to the end | {cell(st['max_abs_after_1s_ms'])} | "
            f"{cell(st.get('ideal_max_abs_after_1s_ms'))} |",
            f"| within 40 ms for good, this long after the stall | {cell(st['settled_ms'], 0)} | "
            f"{cell(st.get('ideal_settled_ms'), 0)} |", ""]


def fmt_s_to_ms(s):
    return {k: (v * 1000 if k in ("median", "min", "max") else v) for k, v in s.items()} if s else None


def section_readers(r):
    rd = r.get("readers")
    if not rd:
        return []
    if "missing" in rd:
        return ["## Readers", "", rd["missing"], ""]
    lines = ["## Readers", "",
             "`moravel-bench-readers` (Google Benchmark) on the generated data: one pass decodes every file of "
             "the format from memory; throughput in megabytes (10^6) of file per second, and of decoded pixels. "
             "`ParsePointModel` parses bytes already in memory; `LoadPointModel` is the production's path with "
             "the file read. Rates and the CPU column are per CPU second (Google Benchmark's default), which "
             "the shared machine's load hardly moves; the wall column shows what the load did.", "",
             "| Benchmark | Files | CPU ms per pass | Wall ms per pass | File MB/s | Pixel MB/s |",
             "|---|---|---|---|---|---|"]
    for name, v in rd.items():
        files = v.get("files") or 1
        lines.append(f"| {name} | {int(files)} | {cell(v['ms_per_pass'], 2)} | {cell(v.get('wall_ms_per_pass'), 2)} | "
                     f"{cell(v['file_mb_per_s'])} | {cell(v['pixel_mb_per_s'])} |")
    return lines + [""]


def section_memory(r):
    lines = ["## Peak memory", "", "| Program | Peak RSS MiB |", "|---|---|"]
    if r.get("sync"):
        lines.append(f"| the demo, live (`moravel`, SDL, Xvfb) | {cell(r['sync']['peak_rss_mib'])} |")
    if r.get("timedemo"):
        lines.append(f"| the demo on the headless backend (time demo) | {cell(r['timedemo']['peak_rss_mib'])} |")
    for key, value in sorted(r.get("capture", {}).items()):
        lines.append(f"| the capture with ffmpeg, {key.replace('scale', 'scale ')} | {cell(value['peak_rss_mib'])} |")
    return lines + ["", "Peak RSS is `ru_maxrss` from `wait4`: the largest of the process and the children it "
                        "waited for (the extractor, ffmpeg).", ""]


def section_web(r):
    w = r.get("web")
    if not w:
        return []
    native = {s["name"]: s for s in r.get("scenes", {}).get("stretches", [])}
    lines = ["## In the browser", "",
             f"The web build (`./web.sh`) watched from start to end in headless {w['browser']} (`scripts/web-tests.sh "
             "watch`: WebGL 2 on SwiftShader, no GPU, 800 x 600 page, the picture at 640 x 480), on the real clock "
             "with its music. A frame's time runs from one presented frame to the next as the page reports them; "
             "the browser shows a frame when the program yields to it, once a frame, without waiting for the "
             "display. The native column is the median of the per-scene table above (llvmpipe, glFinish each "
             "frame), for scale: the browser adds WebGL's checks, SwiftShader and the page's compositing.", "",
             f"Whole run: {w['frames']} frames, {fmt(w['fps'])} fps on average (the run took {fmt(w['wall_s'], 0)} s "
             "with loading and the browser's start).", "",
             "| Stretch | Frames | fps | Median ms | p95 ms | Max ms | Native median ms |",
             "|---|---|---|---|---|---|---|"]
    for s in w["stretches"]:
        if "fps" not in s:
            lines.append(f"| {s['name']} | 0 | | | | | |")
            continue
        n = native.get(s["name"], {}).get("median_ms", {})
        lines.append(f"| {s['name']} | {s['frames']} | {fmt(s['fps'])} | {fmt(s['median_ms'])} | {fmt(s['p95_ms'])} "
                     f"| {fmt(s['max_ms'])} | {fmt(n.get('median')) if isinstance(n, dict) and n else ''} |")
    return lines + [""]


def render(r, stretches):
    here = os.path.dirname(os.path.abspath(__file__))
    lines = ["# Benchmarks", "",
             "Written by `./bench.sh` (`bench/run_benchmarks.py`); the numbers are rewritten on every run, the "
             "raw results are in `benchmarks.json` beside this file. Nothing here is a test: speed is never "
             "asserted.", ""]
    lines += section_machine(r)
    for step, error in r.get("failed", {}).items():
        lines += [f"**The {step} step failed** in this run; its numbers are missing:", "", "```", error, "```", ""]
    lines += section_targets(r)
    lines += section_scenes(r, stretches)
    lines += section_timedemo(r)
    lines += section_startup(r)
    lines += section_side_by_side(r)
    lines += section_capture(r)
    lines += section_sync(r)
    lines += section_readers(r)
    lines += section_web(r)
    lines += section_memory(r)
    notes = os.path.join(here, "notes.md")
    if os.path.exists(notes):
        with open(notes) as f:
            lines += [f.read().rstrip(), ""]
    return "\n".join(lines)
