#!/usr/bin/env python3
"""Measures the cost of waiting for a file: Hollowbrook, the floor program,
a shell loop and inotifywait, side by side on the same job (a 1 s pause, the
file created by another process after a few seconds). Prints a Markdown table."""
import json
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TOOL, FLOOR, WINDOWS_EXE, STATIC_TOOL = sys.argv[1:5]
SHELL_LOOP = 'until [ -e "$1" ]; do sleep 1; done'

PROGRAMS = {
    "hollowbrook": lambda path: [TOOL, "\\f" + path, "\\s1", "\\t0", "\\eT"],
    "floor (C loop)": lambda path: [FLOOR, path, "1000"],
    "shell loop": lambda path: ["sh", "-c", SHELL_LOOP, "sh", path],
    "inotifywait": lambda path: ["inotifywait", "-qq", "-e", "create", "-e", "moved_to",
                                 "--include", re.escape(os.path.basename(path)) + "$",
                                 os.path.dirname(path)],
}


def scratch_file():
    return os.path.join(tempfile.mkdtemp(prefix="hb-bench-"), "job.done")


def create_later(path, seconds):
    timer = threading.Timer(seconds, lambda: open(path, "w").close())
    timer.start()
    return timer


def run_waiting(command, path, seconds, wrapper=()):
    """Runs the command until the file, created after `seconds`, ends it.
    Returns (wall seconds, CPU seconds of it and its children, max RSS KiB)."""
    started = time.monotonic()
    process = subprocess.Popen(list(wrapper) + command, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    timer = create_later(path, seconds)
    _, _, usage = os.wait4(process.pid, 0)
    timer.join()
    return time.monotonic() - started, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def syscalls_per_pass(make_command):
    """Difference of two traced waits (3 and 6 passes), per extra pass."""
    totals = []
    for seconds in (2.5, 5.5):
        path = scratch_file()
        counts = path + ".strace"
        run_waiting(make_command(path), path, seconds, ["strace", "-f", "-c", "-o", counts])
        with open(counts) as lines:
            totals.append(next(int(line.split()[3]) for line in lines if line.split()[-1:] == ["total"]))
    return (totals[1] - totals[0]) / 3


def cpu_per_second(make_command, repeats=3):
    """CPU of the extra 7 s of a 8.5 s wait over a 1.5 s one, per second, the
    children's included (the shell loop's sleep)."""
    samples = []
    for _ in range(repeats):
        path = scratch_file()
        _, short_cpu, _ = run_waiting(make_command(path), path, 1.5)
        path = scratch_file()
        _, long_cpu, _ = run_waiting(make_command(path), path, 8.5)
        samples.append(max(long_cpu - short_cpu, 0.0) / 7.0)
    return statistics.median(samples)


def on_cpu_seconds(pid):
    """The time the process's threads have run, to the nanosecond (schedstat)."""
    tasks = f"/proc/{pid}/task"
    return sum(int(open(f"{tasks}/{task}/schedstat").read().split()[0])
               for task in os.listdir(tasks)) / 1e9


def cpu_side_by_side(names, waiters=8, seconds=12, rounds=3):
    """CPU per second of waiting for several waiters of each program at once,
    read while they wait, so that neither start-up nor a busy moment of the
    machine weighs on one program alone: for each program the median over
    the rounds of its waiters' mean."""
    per_round = {name: [] for name in names}
    for _ in range(rounds):
        # Interleaved: waiters started together wake together, and the first
        # of each burst runs on a quieter machine than the last.
        runs = [(name, scratch_file()) for _ in range(waiters) for name in names]
        processes = [subprocess.Popen(PROGRAMS[name](path), stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL) for name, path in runs]
        time.sleep(1.5)
        before = [on_cpu_seconds(process.pid) for process in processes]
        time.sleep(seconds)
        after = [on_cpu_seconds(process.pid) for process in processes]
        for _, path in runs:
            open(path, "w").close()
        for process in processes:
            process.wait()
        for name in names:
            used = [(end - start) / seconds for (run_name, _), start, end in
                    zip(runs, before, after) if run_name == name]
            per_round[name].append(statistics.mean(used))
    return {name: statistics.median(samples) for name, samples in per_round.items()}


def peak_rss(make_command, repeats=7):
    """Median of several short waits: page-cache effects vary from run to run."""
    samples = []
    for _ in range(repeats):
        path = scratch_file()
        report = path + ".time"
        run_waiting(make_command(path), path, 1.5, ["/usr/bin/time", "-v", "-o", report])
        with open(report) as lines:
            samples.append(next(int(line.split()[-1]) for line in lines
                                if "Maximum resident" in line))
    return int(statistics.median(samples))


def private_kib(make_command, repeats=3):
    """Memory that each further waiter adds (Private_Dirty), read while it
    waits: what decides how many waiters a machine holds. Clean pages of the
    program and its libraries are private only while one process maps them;
    a second waiter shares them."""
    samples = []
    for _ in range(repeats):
        path = scratch_file()
        process = subprocess.Popen(make_command(path), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        time.sleep(1.5)
        with open(f"/proc/{process.pid}/smaps_rollup") as lines:
            samples.append(sum(int(line.split()[1]) for line in lines
                               if line.startswith("Private_Dirty:")))
        open(path, "w").close()
        process.wait()
    return int(statistics.median(samples))


# Runs that end at once: the tool and the floor at their usage text, the
# shell loop on a file that exists.
USAGE_RUNS = {"hollowbrook": TOOL, "hollowbrook (static)": STATIC_TOOL, "floor (C loop)": FLOOR,
              "shell loop": f"sh -c '{SHELL_LOOP}' sh /"}


def startup_ms(name):
    """A run that ends at once, output to /dev/null."""
    command = USAGE_RUNS.get(name)
    if command is None:
        return None
    export = tempfile.mktemp(suffix=".json")
    subprocess.run(["hyperfine", "-N", "--warmup", "50", "--runs", "1000", "--output", "null",
                    "--export-json", export, command], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    with open(export) as data:
        return json.load(data)["results"][0]["mean"] * 1000


def latency_ms(make_command, repeats=20):
    """From the file's creation to the process's exit: worst and mean, over
    creation times spread evenly across one pause."""
    samples = []
    for index in range(repeats):
        path = scratch_file()
        process = subprocess.Popen(make_command(path), stdout=subprocess.DEVNULL)
        time.sleep(1.2 + index / repeats)
        created = time.monotonic()
        open(path, "w").close()
        process.wait()
        samples.append((time.monotonic() - created) * 1000)
    return max(samples), statistics.mean(samples)


def pattern_deletion(entries):
    """A deletion wait of `*.lock` with a 1 s pause, in a folder of `entries`
    other files on this machine's file system, the lock removed after 4.5 s:
    the run's calls by kind, traced. Returns (pauses, folder reads before the
    last pass, looks at the match, folder reads of the last pass, waits for
    the folder's clock)."""
    folder = tempfile.mkdtemp(prefix="hb-bench-pattern-")
    for index in range(entries):
        open(os.path.join(folder, f"f{index:06d}.dat"), "w").close()
    lock = os.path.join(folder, "job.lock")
    open(lock, "w").close()
    trace = folder + ".strace"
    command = ["strace", "-f", "-o", trace, "-e",
               "trace=getdents64,lstat,newfstatat,clock_nanosleep,nanosleep",
               TOOL, "\\f" + folder + "/*.lock", "\\s1", "\\t0", "\\eF"]
    timer = threading.Timer(4.5, lambda: os.remove(lock))
    timer.start()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    timer.join()
    passes = []  # the calls of each pass, a pass beginning with its pause
    for line in open(trace):
        if "sleep(" in line and "tv_sec=1," in line:
            passes.append([])
        elif passes and "resumed" not in line:
            passes[-1].append(line)
    shutil.rmtree(folder)
    reads = [sum("getdents64(" in call for call in calls) for calls in passes]
    looks = sum(("lstat(" in call or "newfstatat(" in call) and "job.lock" in call
                for calls in passes for call in calls)
    clock_waits = sum("tv_nsec=20000000" in call for calls in passes for call in calls)
    return len(passes), sum(reads[:-1]), looks, reads[-1], clock_waits


def stripped_size(path, strip="strip"):
    copy = tempfile.mktemp()
    shutil.copy(path, copy)
    subprocess.run([strip, "--strip-all", copy], check=True)
    return os.path.getsize(copy)


def main():
    results = {name: {} for name in PROGRAMS}
    for name, make_command in PROGRAMS.items():
        print(f"measuring {name} ...", file=sys.stderr)
        row = results[name]
        row["syscalls"] = syscalls_per_pass(make_command)
        row["cpu"] = cpu_per_second(make_command) * 1e6
        row["rss"] = peak_rss(make_command)
        row["private"] = private_kib(make_command)
        row["startup"] = startup_ms(name)
        row["latency"] = latency_ms(make_command)
    print("measuring the tool and the floor side by side ...", file=sys.stderr)
    for name, cpu in cpu_side_by_side(["hollowbrook", "floor (C loop)"]).items():
        results[name]["cpu"] = cpu * 1e6
    # A timeout adds the thread that keeps it when the file system stops
    # answering; it sleeps until 10 s before the due time.
    with_timeout = lambda path: [TOOL, "\\f" + path, "\\s1", "\\t1", "\\eT"]
    results["hollowbrook"]["private with timeout"] = private_kib(with_timeout)
    results["hollowbrook"]["syscalls with timeout"] = syscalls_per_pass(with_timeout)
    results["hollowbrook"]["static startup"] = startup_ms("hollowbrook (static)")
    results["hollowbrook"]["size"] = stripped_size(TOOL)
    results["floor (C loop)"]["size"] = stripped_size(FLOOR)
    windows_size = stripped_size(WINDOWS_EXE, "x86_64-w64-mingw32-strip")
    print_table(results, windows_size)
    print_pattern_table({entries: pattern_deletion(entries) for entries in (300, 100000)})


def print_pattern_table(runs):
    print("\nA deletion wait of a pattern, `\\f<folder>/*.lock \\s1 \\t0 \\eF`, whose one "
          "match goes after 4.5 s, traced:\n")
    print("| folder | passes | folder reads while the match is there | looks at the match "
          "| folder reads of the last pass | waits for the folder's clock |")
    print("| --- | ---: | ---: | ---: | ---: | ---: |")
    for entries, (passes, reads, looks, last, waits) in runs.items():
        print(f"| {entries:,} entries | {passes} | {reads} | {looks} | {last} | {waits} |")


def ratio(value, floor):
    return f"{value / floor:.2f}×" if value is not None and floor else "—"


def print_table(results, windows_size):
    tool, floor = results["hollowbrook"], results["floor (C loop)"]
    shell, inotify = results["shell loop"], results["inotifywait"]
    cpu_model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                      if line.startswith("model name")), platform.machine())
    print(f"Measured {time.strftime('%Y-%m-%d')} on {cpu_model}, {os.cpu_count()} cores, "
          f"Linux {platform.release()}.\n")
    print("| figure | hollowbrook | ratio to floor | floor (C loop) | shell loop | inotifywait |")
    print("| --- | ---: | ---: | ---: | ---: | ---: |")

    def line(label, key, show):
        cells = [show(row.get(key)) for row in (tool, floor, shell, inotify)]
        print(f"| {label} | {cells[0]} | {ratio(tool.get(key), floor.get(key))} | "
              f"{cells[1]} | {cells[2]} | {cells[3]} |")

    line("system calls per pass (1 s pause, no dot due)", "syscalls", lambda v: f"{v:.2f}")
    print(f"| system calls per pass with a timeout, `\\t1` | "
          f"{tool['syscalls with timeout']:.2f} | — | — | — | — |")
    line("CPU per second of waiting (µs)", "cpu", lambda v: f"{v:.1f}")
    line("peak resident memory (KiB)", "rss", lambda v: f"{v}")
    line("private memory per waiter (KiB)", "private", lambda v: f"{v}")
    print(f"| private memory per waiter with a timeout, `\\t1` (KiB) | "
          f"{tool['private with timeout']} ({tool['private with timeout'] - tool['private']:+d} "
          f"over `\\t0`) | — | — | — | — |")
    print(f"| start-up, a run that ends at once (ms) | {tool['startup']:.3f} dynamic, "
          f"{tool['static startup']:.3f} static | {ratio(tool['startup'], floor['startup'])} | "
          f"{floor['startup']:.3f} | {shell['startup']:.3f} | — |")
    print(f"| latency, file created to exit (ms, worst / mean) | "
          f"{tool['latency'][0]:.1f} / {tool['latency'][1]:.1f} | "
          f"{ratio(tool['latency'][1], floor['latency'][1])} | "
          f"{floor['latency'][0]:.1f} / {floor['latency'][1]:.1f} | "
          f"{shell['latency'][0]:.1f} / {shell['latency'][1]:.1f} | "
          f"{inotify['latency'][0]:.1f} / {inotify['latency'][1]:.1f} |")
    print(f"| binary size, stripped (bytes) | {tool['size']} native, {windows_size} Windows | "
          f"{ratio(tool['size'], floor['size'])} | {floor['size']} | — | — |")


if __name__ == "__main__":
    main()
