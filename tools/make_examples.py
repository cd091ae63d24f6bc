#!/usr/bin/env python3
"""Write example performance data files for Kavra.

Usage:
    python3 tools/make_examples.py [--out DIR]
        Writes DIR/node1_day.csv (plain header layout, CR LF terminators) and
        DIR/node2_day.csv (header block layout, LF terminators). DIR defaults
        to the examples/ folder of the repository.

    python3 tools/make_examples.py --large ROWS COLS OUT.csv
        Writes a large plain-layout file (CR LF) of ROWS samples x COLS value
        columns, plain decimal values only, full "DD-MON-YYYY HH:MM:SS" sample
        times at 1-second steps. Used by the load benchmark.

Standard library only; the output is deterministic (fixed random seeds).
"""

import argparse
import datetime
import math
import os
import random
import sys

MONTHS = ("JAN", "FEB", "MAR", "APR", "MAY", "JUN",
          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC")

DAY = datetime.date(2026, 12, 6)
SAMPLES_PER_DAY = 1440  # one per minute
COLLECTOR = "Vesk collector 4.2"


def date_text(d):
    return "%02d-%s-%04d" % (d.day, MONTHS[d.month - 1], d.year)


# ---------------------------------------------------------------------------
# Value formatting. Each column has one style; the styles cover every value
# form the loader accepts (plain decimals, leading point, trailing point,
# K / M suffixes, percent suffix, exponent form).
# ---------------------------------------------------------------------------

def _strip(s):
    if "." in s:
        s = s.rstrip("0").rstrip(".")
    return s


def fmt_dec(v, nd):
    """Plain decimal with up to nd decimals; values below 1 lose the leading
    zero (".25"), whole values have no point ("4")."""
    s = _strip("%.*f" % (nd, v))
    if s.startswith("0.") and len(s) > 2:
        s = s[1:]
    if s == "-0":
        s = "0"
    return s


def fmt_point(v):
    """Whole number written with a trailing point ("37."); zero as "0"."""
    n = int(round(v))
    return "%d." % n if n else "0"


def fmt_int(v):
    return "%d" % int(round(v))


def fmt_k(v):
    """Counts: 1000 and more in thousands with a K suffix ("12.5K")."""
    if v >= 1000:
        return _strip("%.1f" % (v / 1000.0)) + "K"
    return fmt_int(v)


def fmt_m(v):
    """Byte rates: M suffix from one million, K from one thousand."""
    if v >= 1e6:
        return _strip("%.2f" % (v / 1e6)) + "M"
    if v >= 1000:
        return _strip("%.1f" % (v / 1000.0)) + "K"
    return fmt_int(v)


def fmt_pct(frac):
    """A ratio written as a percentage ("45.2%" stands for 0.452)."""
    return _strip("%.1f" % (frac * 100.0)) + "%"


def fmt_exp(v):
    """Exponent form with a 3-digit mantissa ("1.25E-3", "7E2")."""
    if v <= 0:
        return "0"
    e = int(math.floor(math.log10(v)))
    m = round(v / 10.0 ** e, 2)
    if m >= 10:
        m /= 10.0
        e += 1
    return _strip("%.2f" % m) + "E" + str(e)


FORMATTERS = {
    "d1": lambda v: fmt_dec(v, 1),
    "d2": lambda v: fmt_dec(v, 2),
    "d3": lambda v: fmt_dec(v, 3),
    "int": fmt_int,
    "pt": fmt_point,
    "K": fmt_k,
    "M": fmt_m,
    "%": fmt_pct,
    "E": fmt_exp,
}


def read_value(field):
    """Reads a value field the way the loader does (used for the averages
    record and as a self-check of the formatters)."""
    f = field.strip().upper()
    if not f:
        return 0.0
    m = 1.0
    last = f[-1]
    if last in "%KM.":
        m = {"%": 0.01, "K": 1000.0, "M": 1e6, ".": 1.0}[last]
        f = f[:-1]
    if "E" in f:
        f, x = f.split("E", 1)
        m *= 10.0 ** int(x)
    return float(f if f not in ("", ".") else "0") * m


# ---------------------------------------------------------------------------
# Item catalogue and value models
# ---------------------------------------------------------------------------

PROCESSES = ["$ZSERVER", "$SYSTEM", "$ZTC0", "$ZNET", "$ZHOME", "$ZLOG",
             "$ZSPI", "$ZEXP", "$ZTNT", "$ZSMS", "$DATA1", "$DATA2",
             "$APPL1", "$APPL2", "$APPL3", "$APPL4", "$APPL5", "$APPL6"]
DISKS = ["DSK%02d" % i for i in range(1, 21)]
LINES = ["$LINE%02d" % i for i in range(1, 9)]
LANS = ["LAN%d" % i for i in range(4)]
CPUS = ["Cpu %02d" % i for i in range(16)]


def catalogue():
    """Returns [(name, kind, style, params)] in the order of the first file.

    kind selects the value model (see Model.series); params carries per-item
    constants such as a scale factor."""
    items = []

    def add(name, kind, style, **params):
        items.append((name, kind, style, params))

    add("CPU Busy", "cpu", "d1")
    for i, c in enumerate(CPUS):
        add("CPU Busy " + c, "cpu_n", "d1", idx=i)
    add("CPU Queue Length", "queue", "d2", scale=6.0)
    for i, c in enumerate(CPUS):
        add("CPU Queue Length " + c, "queue", "d2", scale=0.6, idx=i)
    add("MP Sync Time", "mpsync", "d2", scale=1.0)
    for i, c in enumerate(CPUS):
        add("MP Sync Time " + c, "mpsync", "d2", scale=0.9 + 0.02 * i)
    for i, c in enumerate(CPUS):
        add("Dispatches/s " + c, "rate", "d1", base=40.0, peak=900.0, idx=i)
    for i, c in enumerate(CPUS):
        add("Interrupts/s " + c, "rate", "K", base=800.0, peak=14000.0, idx=i)
    add("Memory Pages Free", "memfree", "int", total=262144.0)
    add("Memory Pages Locked", "flat", "int", level=18432.0, jitter=40.0)
    add("Memory Page Faults/s", "rate", "d1", base=2.0, peak=180.0)
    add("Memory Swap Rate", "rate", "E", base=0.5, peak=70.0)
    for i, c in enumerate(CPUS):
        add("Memory Pages Free " + c, "memfree", "int", total=16384.0, idx=i)
    for i, d in enumerate(DISKS):
        unused = d == "DSK20"
        add("Disk Reads/s " + d, "zero" if unused else "rate", "d1",
            base=3.0, peak=260.0 / (1 + i % 5), idx=i)
        add("Disk Writes/s " + d, "zero" if unused else "rate", "d1",
            base=1.0, peak=120.0 / (1 + i % 4), idx=i)
        add("Disk Busy " + d, "zero" if unused else "busy", "%",
            peak=0.85 / (1 + i % 3), idx=i)
        add("Disk Queue " + d, "zero" if unused else "queue", "d3",
            scale=0.4, idx=i)
    add("Disk Cache Hits/s", "rate", "K", base=300.0, peak=42000.0)
    add("DISK Cache Hits/s", "rate", "K", base=120.0, peak=9000.0)
    for i, p in enumerate(PROCESSES):
        idle = p == "$ZTNT"
        add("Process Busy " + p, "zero" if idle else "busy", "d2",
            peak=40.0 / (1 + i % 6), pct=True, idx=i)
    for i, p in enumerate(PROCESSES):
        add("Process Messages/s " + p, "rate", "K" if i < 6 else "d1",
            base=5.0, peak=5200.0 / (1 + i), idx=i)
    add("TMF Transactions/s", "rate", "d1", base=4.0, peak=650.0)
    add("TMF Begin Trans/s", "rate", "d1", base=4.0, peak=655.0)
    add("TMF Aborts/s", "rate", "E", base=0.01, peak=1.5)
    add("TMF Response Time", "resp", "E")
    add("TMF Audit Writes/s", "rate", "d1", base=8.0, peak=1400.0)
    add("TMF Audit Bytes/s", "rate", "M", base=9000.0, peak=6.5e6)
    add("TMF Heuristic Aborts", "zero", "int")
    for i, ln in enumerate(LINES):
        add("Line Msgs In/s " + ln, "rate", "d2", base=0.2, peak=40.0 / (1 + i), idx=i)
        add("Line Msgs Out/s " + ln, "rate", "d2", base=0.2, peak=38.0 / (1 + i), idx=i)
        add("Line Errors " + ln, "zero", "int")
    for i, lan in enumerate(LANS):
        add("Net Packets In/s " + lan, "rate", "K", base=50.0, peak=21000.0 / (1 + i), idx=i)
        add("Net Packets Out/s " + lan, "rate", "K", base=45.0, peak=19000.0 / (1 + i), idx=i)
        add("Net Bytes In/s " + lan, "rate", "M", base=4.0e4, peak=2.2e7 / (1 + i), idx=i)
        add("Net Bytes Out/s " + lan, "rate", "M", base=3.0e4, peak=1.6e7 / (1 + i), idx=i)
        add("Net Errors " + lan, "zero", "int")
        add("Net Retransmits/s " + lan, "rate", "E", base=0.002, peak=0.9, idx=i)
    add("File Opens/s", "rate", "d1", base=2.0, peak=320.0)
    add("File Closes/s", "rate", "d1", base=2.0, peak=318.0)
    add("File Cache Hit Ratio", "ratio", "%", low=0.82, high=0.995)
    add("Cache Hit Ratio", "ratio", "%", low=0.90, high=0.999)
    add("System Messages/s", "rate", "K", base=400.0, peak=61000.0)
    add("System Message Bytes/s", "rate", "M", base=2.0e5, peak=4.8e7)
    add("Expand Packets/s", "rate", "d1", base=10.0, peak=2400.0)
    add("Expand Bytes/s", "rate", "M", base=8.0e3, peak=3.1e6)
    add("Spooler Jobs", "count", "pt", base=2.0, peak=35.0)
    add("Terminal Sessions", "count", "pt", base=6.0, peak=410.0)
    add("Batch Jobs Active", "batch", "int")
    add("Lock Waits/s", "rate", "d2", base=0.05, peak=24.0)
    add("Lock Timeouts", "zero", "int")
    add("Sort Operations/s", "rate", "d1", base=0.5, peak=95.0)
    add("Swap Space Used", "ratio", "%", low=0.12, high=0.31, rising=True)
    add("Page Faults Major/s", "rate", "E", base=0.05, peak=12.0)
    add("Page Faults Minor/s", "rate", "d1", base=20.0, peak=2600.0)
    add("Elapsed Busy Ratio", "ratio", "%", low=0.05, high=0.72, follow=True)
    add("SQL Statements/s", "rate", "K", base=60.0, peak=8800.0)
    add("SQL Compiles/s", "rate", "d2", base=0.1, peak=14.0)
    add("SQL Cache Misses/s", "rate", "E", base=0.02, peak=3.0)
    add("Pathway Requests/s", "rate", "d1", base=3.0, peak=770.0)
    add("Pathway Servers Active", "count", "pt", base=12.0, peak=96.0)
    add("Pathway Queue Depth", "queue", "d2", scale=2.5)
    add("Pathway Response Time", "resp", "E", scale=2.2)
    add("Audit Trail Fill", "ratio", "%", low=0.04, high=0.63, rising=True)
    add("Power Supply Temp", "flat", "d1", level=31.5, jitter=0.6)
    add("Fan Speed", "flat", "K", level=4800.0, jitter=90.0)
    return items


EXTRA_NODE2 = [
    ("Process Busy $BACKUP", "busy", "d2", {"peak": 18.0, "pct": True, "idx": 3}),
    ("Net Errors LAN4", "zero", "int", {}),
]


class Model:
    """Value series for one node and one day."""

    def __init__(self, rng, shift_minutes=0, scale=1.0):
        self.rng = rng
        n = SAMPLES_PER_DAY
        load = []
        ar = 0.0
        for t in range(n):
            h = ((t + shift_minutes) % n) / 60.0
            base = (0.10
                    + 0.55 * math.exp(-((h - 10.8) / 2.6) ** 2)
                    + 0.40 * math.exp(-((h - 15.2) / 2.2) ** 2)
                    + 0.38 * math.exp(-((h - 2.5) / 0.6) ** 2))   # night batch
            ar = 0.92 * ar + rng.gauss(0.0, 0.025)
            load.append(min(0.98, max(0.02, base * scale + ar)))
        self.load = load
        self.cpu = [min(100.0, max(0.5, 100.0 * v + rng.gauss(0, 1.2))) for v in load]
        # per-CPU skews, fixed per node
        self.skew = [rng.uniform(0.75, 1.2) for _ in range(64)]

    def noise(self, sd):
        g = self.rng.gauss
        return [g(0.0, sd) for _ in range(SAMPLES_PER_DAY)]

    def series(self, kind, p):
        rng = self.rng
        load, cpu = self.load, self.cpu
        n = SAMPLES_PER_DAY
        k = self.skew[p.get("idx", 0) % 64]
        if kind == "zero":
            return [0.0] * n
        if kind == "cpu":
            return list(cpu)
        if kind == "cpu_n":
            nz = self.noise(3.0)
            return [min(100.0, max(0.1, c * k + e)) for c, e in zip(cpu, nz)]
        if kind == "mpsync":
            # tracks CPU busy, rising faster than linear at high load
            s = p["scale"]
            nz = self.noise(0.15)
            return [max(0.0, s * (0.04 * c + 0.0009 * c * c) + e)
                    for c, e in zip(cpu, nz)]
        if kind == "queue":
            s = p["scale"] * k
            nz = self.noise(0.08)
            return [max(0.0, s * (v ** 3) * 4.0 + abs(e) * s) for v, e in zip(load, nz)]
        if kind == "rate":
            b, pk = p["base"], p["peak"] * k
            nz = self.noise(0.06)
            return [max(0.0, (b + pk * v) * (1.0 + e)) for v, e in zip(load, nz)]
        if kind == "busy":
            pk = p["peak"] * k
            nz = self.noise(0.04)
            out = [max(0.0, pk * v + pk * e) for v, e in zip(load, nz)]
            if not p.get("pct"):
                out = [min(v, 0.999) for v in out]
            return out
        if kind == "memfree":
            tot = p["total"] * k / 1.2
            nz = self.noise(0.01)
            return [tot * max(0.03, 0.82 - 0.7 * v + e) for v, e in zip(load, nz)]
        if kind == "flat":
            return [p["level"] + rng.gauss(0.0, p["jitter"]) for _ in range(n)]
        if kind == "resp":
            s = p.get("scale", 1.0)
            nz = self.noise(0.05)
            return [max(1e-5, s * (0.0009 + 0.012 * v ** 4) * (1.0 + e))
                    for v, e in zip(load, nz)]
        if kind == "ratio":
            lo, hi = p["low"], p["high"]
            if p.get("rising"):
                return [min(hi, lo + (hi - lo) * t / n + rng.gauss(0, 0.002))
                        for t in range(n)]
            if p.get("follow"):
                return [min(hi, max(lo, lo + (hi - lo) * v + rng.gauss(0, 0.01)))
                        for v in load]
            return [min(0.9999, max(lo, hi - (hi - lo) * v + rng.gauss(0, 0.004)))
                    for v in load]
        if kind == "count":
            b, pk = p["base"], p["peak"]
            return [max(0.0, round(b + pk * v + rng.gauss(0, 1.0))) for v in load]
        if kind == "batch":
            return [float(3 + int(5 * math.exp(-(((t / 60.0) - 2.5) / 0.6) ** 2))
                          + (1 if rng.random() < 0.05 else 0)) for t in range(n)]
        raise ValueError(kind)


def sample_time_texts(day):
    """Sample time field per row: the first sample of each hour with its
    date, the others time only."""
    dt = date_text(day)
    out = []
    for t in range(SAMPLES_PER_DAY):
        hh, mm = divmod(t, 60)
        tt = "%02d:%02d:00" % (hh, mm)
        out.append(dt + " " + tt if mm == 0 else tt)
    return out


def build_columns(items, model):
    """Formatted text columns and the read-back values of each column."""
    texts, values = [], []
    for name, kind, style, params in items:
        raw = model.series(kind, params)
        f = FORMATTERS[style]
        col = [f(v) for v in raw]
        texts.append(col)
        values.append([read_value(s) for s in col])
    return texts, values


def write_file(path, node, items, model, block, eol):
    names = [it[0] for it in items]
    assert len(set(names)) == len(names), "duplicate item names"
    for nm in names:
        assert "," not in nm and '"' not in nm and "'" not in nm, nm
        assert "SAMPLE TIME" not in nm.upper(), nm
        assert nm == nm.strip() and nm, nm
    texts, values = build_columns(items, model)
    times = sample_time_texts(DAY)
    recs = [node + "," + COLLECTOR + ",Interval 60s",
            date_text(DAY) + ",00:00:00,Collection of the day"]
    header = ["Sample Time"] + names
    if block:
        recs.append("$$$ START COLUMN HEADERS $$$")
        for i in range(0, len(header), 10):
            recs.append(",".join(header[i:i + 10]))
        recs.append("$$$ END COLUMN HEADERS $$$")
    else:
        recs.append(",".join(header))
    rows = list(zip(*texts))
    for t, row in zip(times, rows):
        recs.append(t + "," + ",".join(row))
    avgs = []
    for (name, kind, style, params), vals in zip(items, values):
        a = sum(vals) / len(vals)
        # the averages record uses the column's own form (percent columns
        # hold ratios, written back as percentages)
        avgs.append(FORMATTERS[style](a) if style in ("%", "E", "K", "M")
                    else fmt_dec(a, 3))
    recs.append("Column Average," + ",".join(avgs))
    data = eol.join(recs) + eol
    with open(path, "wb") as fh:
        fh.write(data.encode("ascii"))
    return len(data), len(rows), len(names)


def make_examples(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    items = catalogue()

    # self-check of the formatters against the loader's value rules
    for v in (0.0, 0.25, 4.0, 12.5, 999.0, 12500.0, 1.5e6, 0.00125, 700.0):
        for style in ("d2", "K", "M", "E"):
            s = FORMATTERS[style](v)
            assert abs(read_value(s) - v) <= max(0.5, 0.06 * v), (style, v, s)
    assert read_value("45.2%") == 0.452 and read_value("4.") == 4.0
    assert read_value(".25") == 0.25 and read_value("7E2") == 700.0

    rng1 = random.Random(20261206)
    m1 = Model(rng1)
    p1 = os.path.join(out_dir, "node1_day.csv")
    s1 = write_file(p1, "NODE1", items, m1, block=False, eol="\r\n")

    rng2 = random.Random(20261207)
    items2 = items + EXTRA_NODE2
    rng2.shuffle(items2)
    m2 = Model(rng2, shift_minutes=35, scale=0.85)
    p2 = os.path.join(out_dir, "node2_day.csv")
    s2 = write_file(p2, "NODE2", items2, m2, block=True, eol="\n")

    for p, (size, rows, cols) in ((p1, s1), (p2, s2)):
        print("%s: %d bytes, %d data rows, %d value columns" % (p, size, rows, cols))


# ---------------------------------------------------------------------------
# Large benchmark file
# ---------------------------------------------------------------------------

def make_large(rows, cols, path):
    rng = random.Random(424242)
    # a pool of plain decimal texts of varied magnitudes; rows pick from it
    pool = []
    for _ in range(1 << 16):
        mag = 10.0 ** rng.randint(0, 5)
        pool.append("%.2f" % (rng.random() * mag))
    bases = ["CPU Busy", "Disk Reads/s", "Disk Writes/s", "Process Busy",
             "Messages/s", "Net Packets/s", "Memory Pages", "TMF Trans/s"]
    names = ["%s %05d" % (bases[i % len(bases)], i + 1) for i in range(cols)]
    start = datetime.datetime(2026, 12, 6, 0, 0, 0)
    eol = "\r\n"
    choices = rng.choices
    with open(path, "wb") as fh:
        head = ["BENCH," + COLLECTOR + ",Interval 1s",
                date_text(start.date()) + ",00:00:00,Synthetic load",
                "Sample Time," + ",".join(names)]
        fh.write((eol.join(head) + eol).encode("ascii"))
        chunk = []
        day = None
        dtext = ""
        for r in range(rows):
            t = start + datetime.timedelta(seconds=r)
            if t.date() != day:
                day = t.date()
                dtext = date_text(day)
            chunk.append("%s %02d:%02d:%02d,%s" % (
                dtext, t.hour, t.minute, t.second,
                ",".join(choices(pool, k=cols))))
            if len(chunk) >= 1000:
                fh.write((eol.join(chunk) + eol).encode("ascii"))
                chunk = []
        if chunk:
            fh.write((eol.join(chunk) + eol).encode("ascii"))
    print("%s: %d bytes, %d data rows, %d value columns"
          % (path, os.path.getsize(path), rows, cols))


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(os.path.dirname(here), "examples")
    ap = argparse.ArgumentParser(description="Write Kavra example data files.")
    ap.add_argument("--out", default=default_out,
                    help="folder for the example files (default: examples/)")
    ap.add_argument("--large", nargs=3, metavar=("ROWS", "COLS", "OUT"),
                    help="write one large plain-layout file instead")
    a = ap.parse_args(argv)
    if a.large:
        rows, cols = int(a.large[0]), int(a.large[1])
        if rows < 2 or cols < 1:
            ap.error("--large needs ROWS >= 2 and COLS >= 1")
        d = os.path.dirname(os.path.abspath(a.large[2]))
        os.makedirs(d, exist_ok=True)
        make_large(rows, cols, a.large[2])
    else:
        make_examples(a.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
