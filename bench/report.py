"""Prints the benchmark table from the key=value lines of scripts/bench.sh.

Usage: report.py RESULTS BIG_SIZE NPROC
Each figure is a median over the rounds; each ratio is taken within a
round (side by side) and then the median of those is shown.
"""
import statistics
import sys
from collections import defaultdict

BLOCK = 16384
BYTES = {"1m": 1 << 20, "100m": 100 << 20, "1g": 1 << 30}


def parse(path):
    runs = defaultdict(list)  # (mode, size) -> [dict], in round order
    startup = {}
    for line in open(path):
        fields = dict(f.split("=", 1) for f in line.split() if "=" in f)
        if "startup" in fields:
            startup[fields["startup"]] = fields
        elif "mode" in fields and "size" in fields:
            runs[(fields["mode"], fields["size"])].append(fields)
    return runs, startup


def median(values):
    return statistics.median(values) if values else float("nan")


def seconds(runs, mode, size):
    return [float(r["seconds"]) for r in runs[(mode, size)] if r.get("ok") == "1"]


def round_ratios(runs, mode, base, size):
    """Per round: base seconds / mode seconds (throughput ratio)."""
    pairs = zip(seconds(runs, mode, size), seconds(runs, base, size))
    return [b / m for m, b in pairs]


def cpu_per_block(runs, mode, size):
    rows = [r for r in runs[(mode, size)] if "cpu_s" in r and r.get("ok") == "1"]
    blocks = BYTES[size] / BLOCK
    return median([(float(r["cpu_s"]) + float(r["server_cpu_s"])) / blocks * 1e6 for r in rows])


def throughput_table(runs, size):
    mb = BYTES[size] / 1e6
    rows = [
        ("DownloadToFile, posting off", "off"),
        ("DownloadToFile, posting on, into a window", "on"),
        ("bare 16 KiB InternetReadFile loop + WriteFile", "floor"),
        ("curl (native)", "curl"),
        ("file copy (cp)", "copy"),
        ("  analysis: bare loop, no writes", "floor-nowrite"),
        ("  analysis: bare loop, CFile::Write", "floor-cfile"),
        ("  analysis: bare loop, program's request path", "floor-connect"),
    ]
    print(f"Throughput, {size} body from nginx on 127.0.0.1 (median of {len(seconds(runs, 'floor', size))} rounds)")
    print(f"{'':48} {'MB/s':>8} {'/bare':>7} {'/curl':>7} {'CPU us/block':>13}")
    for label, mode in rows:
        rate = mb / median(seconds(runs, mode, size))
        vs_bare = median(round_ratios(runs, mode, "floor", size))
        vs_curl = median(round_ratios(runs, mode, "curl", size))
        cpu = cpu_per_block(runs, mode, size) if mode not in ("curl", "copy") else float("nan")
        cpu_text = f"{cpu:13.1f}" if cpu == cpu else f"{'':13}"
        print(f"{label:48} {rate:8.1f} {vs_bare:7.3f} {vs_curl:7.3f} {cpu_text}")
    bad = [m for (m, s), rs in runs.items() if any("bad_file" in r for r in rs)]
    print(f"files byte-identical to the source: {'no: ' + ', '.join(bad) if bad else 'yes'}")


def progress_table(runs, size):
    on = [r for r in runs[("on", size)] if r.get("ok") == "1"]
    print(f"\nProgress, posting on, {size} ({len(on)} runs)")
    print(f"  blocks read                               {BYTES[size] // BLOCK}")
    print(f"  reports posted and handled (median)       {median([int(r['reports_handled']) for r in on]):.0f}")
    print(f"  posted but never handled (max)            {max(int(r['in_flight_after']) for r in on)}")
    print(f"  longest queue seen (max over runs)        {max(int(r['longest_queue']) for r in on)}")
    lat = [float(r["last_byte_to_final_ms"]) for r in on]
    print(f"  last byte -> final report handled, ms     median {median(lat):.1f}, max {max(lat):.1f}")
    for small in ("1m", "100m"):
        if small != size and runs.get(("on", small)):
            small_lat = [float(r["last_byte_to_final_ms"]) for r in runs[("on", small)] if r.get("ok") == "1"]
            print(f"    the same for {small:4}, ms                    median {median(small_lat):.1f}")
    close = [float(r["close_ms"]) for r in runs[("floor", size)] if r.get("ok") == "1"]
    print(f"    of which closing the file (bare loop), ms  median {median(close):.1f}, max {max(close):.1f}")


def memory_table(runs):
    print("\nPeak memory, posting on into a window (PeakWorkingSetSize = VmHWM, median)")
    peaks = {}
    for size in ("1m", "100m", "1g"):
        rows = [int(r["peak_ws_kib"]) for r in runs[("on", size)] if r.get("ok") == "1"]
        if rows:
            peaks[size] = median(rows)
            print(f"  {size:5} {peaks[size] / 1024:8.1f} MiB")
    if "1m" in peaks and "1g" in peaks:
        print(f"  1g - 1m  {(peaks['1g'] - peaks['1m']) / 1024:+7.1f} MiB")


def startup_table(startup):
    print("\nStart-up under Wine, warm (median ms)")
    trivial = float(startup["trivial"]["median_ms"])
    for name, label in [
        ("trivial", "trivial Win32 exe until its window is in front"),
        ("launcher-start", "launcher, main program not running, until it is in front"),
        ("launcher-forward", "launcher, main program running behind, until in front"),
        ("check", "check mode until the dialog shows the server's report"),
    ]:
        ms = float(startup[name]["median_ms"])
        flag = "" if startup[name]["ok"] == "1" else "  (a run failed)"
        print(f"  {label:58} {ms:7.1f} {ms / trivial:6.2f}x{flag}")


def main():
    runs, startup = parse(sys.argv[1])
    size = sys.argv[2]
    print(f"machine: {sys.argv[3]} cores")
    throughput_table(runs, size)
    progress_table(runs, size)
    memory_table(runs)
    startup_table(startup)


main()
