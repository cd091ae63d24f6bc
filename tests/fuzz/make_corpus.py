#!/usr/bin/env python3
"""Write the seed corpora of Kavra's fuzz targets.

Usage:
    python3 tests/fuzz/make_corpus.py [--out DIR]

Writes DIR/loader/ (seeds of kavra_loader_fuzz), DIR/values/ (seeds of
kavra_value_fuzz) and DIR/codec/ (seeds of kavra_codec_fuzz); DIR defaults to tests/fuzz/corpus/. Each folder is emptied
first. The loader seeds are small cuts of examples/*.csv (a few columns covering
every value form, a few rows, the end-of-data record), the malformed files of
tests/data/LoaderTest.cpp, and a few inputs of several files joined by the
separator the target cuts at. Standard library only, deterministic output.
"""

import argparse
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SEPARATOR = b"\n\x01NEXT\x01\n"  # where kavra_loader_fuzz cuts its input into files


def terminator_of(data):
    for term in (b"\r\n", b"\r", b"\n"):
        at = data.find(term)
        if at >= 0 and all(data.find(t) < 0 or data.find(t) >= at for t in (b"\r\n", b"\r", b"\n")):
            return term
    return b"\n"


def value_style(field):
    """The value form a field is written in, as the example generator writes them."""
    f = field.strip()
    if f.endswith(b"%"):
        return "percent"
    if f.endswith(b"K"):
        return "thousands"
    if f.endswith(b"M"):
        return "millions"
    if b"E" in f:
        return "exponent"
    if f.endswith(b"."):
        return "trailing point"
    if f.startswith(b"."):
        return "leading point"
    if b"." in f:
        return "decimal"
    return "whole"


def cut_example(path, rows=6, per_style=1):
    """A small file in the layout of the example: record 1, record 2, the header
    (plain or block), a few columns (one per value form), the first rows, the last
    row and the end-of-data record."""
    data = open(path, "rb").read()
    term = terminator_of(data)
    records = data.split(term)
    if records and records[-1] == b"":
        records.pop()
    block = any(b"$$$ START COLUMN HEADERS $$$" in r for r in records[:6])
    if block:
        start = next(i for i, r in enumerate(records) if b"$$$ START COLUMN HEADERS $$$" in r)
        end = next(i for i, r in enumerate(records) if b"$$$ END COLUMN HEADERS $$$" in r)
        names = b",".join(records[start + 1:end]).split(b",")
        preamble = records[:start]
        first_data = end + 1
    else:
        header = next(i for i, r in enumerate(records[:6]) if b"SAMPLE TIME" in r.upper())
        names = records[header].split(b",")
        preamble = records[:header]
        first_data = header + 1
    data_records = records[first_data:]
    average = next((i for i, r in enumerate(data_records) if r.startswith(b"Column Average")), len(data_records))
    body = data_records[:average]

    # One column per value form seen in the first rows.
    chosen, seen = [0], {}
    for column in range(1, len(names)):
        styles = {value_style(r.split(b",")[column]) for r in body[:20] if len(r.split(b",")) > column}
        for style in sorted(styles):
            if seen.get(style, 0) < per_style and column not in chosen:
                seen[style] = seen.get(style, 0) + 1
                chosen.append(column)

    def pick(record):
        fields = record.split(b",")
        return b",".join(fields[c] if c < len(fields) else b"" for c in chosen)

    out = list(preamble)
    header_names = [names[c] for c in chosen]
    if block:
        out.append(b"$$$ START COLUMN HEADERS $$$")
        half = len(header_names) // 2
        out += [b",".join(header_names[:half]), b",".join(header_names[half:])]
        out.append(b"$$$ END COLUMN HEADERS $$$")
    else:
        out.append(b",".join(header_names))
    out += [pick(r) for r in body[:rows]] + [pick(body[-1])]
    if average < len(data_records):
        out.append(pick(data_records[average]))
    return term.join(out) + term


PLAIN = (b"NODE1,Collection of the day\r\n06-DEC-2026,10:00:00\r\nSample Time,CPU Busy,Disk Rate\r\n"
         b"06-DEC-2026 10:00:00,12.5,3K\r\n10:01:00,13,2.5K\r\nColumn Average,12.75,2750\r\n")

# The files of tests/data/LoaderTest.cpp, malformed ones included.
LOADER_TEST_FILES = {
    "plain": PLAIN,
    "block_lf": (b",NODE2,x\n,06-DEC-2026\nsomething\n$$$ START COLUMN HEADERS $$$\n"
                 b"Sample Time,mp sync\n\"Disk 'A'\"\n$$$ END COLUMN HEADERS $$$\n"
                 b"06-DEC-2026 10:00:00,1,2\n10:01:00,3,4\n"),
    "sample_time_columns": b"N,x\nd\nSample Time,A,sample time 2,B\n10:00,1,10:00,2\n10:01,3,10:01,4\n",
    "column_average": b"N,x\nd\nSample Time,A\n10:00,1\n10:01,2\nColumn Average,1\n10:02,3\n",
    "column_average_lower_case": b"N,x\nd\nSample Time,A\n10:00,1\n10:01,2\ncolumn average,1\n",
    "short_records": b"N,x\n06-DEC-2026\nSample Time,A,B\n10:00,1\n10:01,2\n10:02,3\n10:03,4\n",
    "extra_fields": b"N,x\nd\nSample Time,A,B\n10:00,1,2,99\n10:01,3\n",
    "later_file": (b"NODE2,x\r\n06-DEC-2026\r\nSample Time,Disk Rate,Other,CPU Busy\r\n"
                   b"10:00:00,7,8,9\r\n10:01:00,10,11,12\r\n10:02:00,13,14,15\r\n"),
    "empty": b"",
    "no_terminator": b"N,x y z",
    "binary": b"\x7fELF\x00\x00\x01\n\x02\x03",
    "no_comma_in_record_1": b"NODE\nSample Time,A\n1,2\n",
    "no_header": b"N,x\na\nb\nc\nd\ne\nSample Time,A\n",
    "empty_block": b"N,x\n$$$ START COLUMN HEADERS $$$\n$$$ END COLUMN HEADERS $$$\n1\n",
    "block_without_end": b"N,x\n$$$ START COLUMN HEADERS $$$\nSample Time,A\n10:00,1\n",
    "two_empty_header_lines": b"N,x\n$$$ START COLUMN HEADERS $$$\n\n\n$$$ END COLUMN HEADERS $$$\n1\n",
    "blank_header": b"N,x\nd\nSample Time,,B\n10:00,1,2\n10:01,1,2\n",
    "invalid_value": b"N,x\nd\nSample Time,CPU Busy\n10:00,1\n10:01, N/a \n",
    "bad_exponent": b"N,x\nd\nSample Time,CPU Busy\n10:00,ERR\n10:01,1\n",
    "time_without_sample_time": b"N,x\nd\nTime,CPU Busy\n10:00,1\n10:01,1\n",
    # The test's record is 200000 characters long; a seed that size would only slow the fuzzer.
    "long_record": b"N,x\nd\nSample Time,A\n10:00," + b"1" * 1000 + b"\n10:01,1\n",
    "one_data_row": b"N,x\nd\nSample Time,A\n10:00,1\n",
    "unreadable_sample_time": b"N,x\nd\nSample Time,CPU Busy\n10:00,1\n\n10:01,1\n",
    "invalid_in_first_file": b"N,x\nd\nSample Time,A\n10:00,1\n10:01,X\n",
    "nul_in_record_1": b"N\x00DE,x\nd\nSample Time,A\n10:00,1\n10:01,2\n",
    "cr_then_crlf": b"N,x\rd\r\nSample Time,A\r\n10:00,1\r\n10:01,2\r\n",
    "every_value_form": (b"N,x\r\n06-DEC-2026\r\nSample Time,A,B,C,D,E,F,G,H\r\n"
                         b"06-DEC-2026 10:00:00,12.5,50%,2.5k,1.5M,1.5E-3,4.,.25,\r\n"
                         b"10:15:30.250,-5.5,'7',\"8\",+9,7e2,1E+05, ,1E3K\r\n"
                         b"2026-12-06 10:16 PM,0,0,0,0,0,0,0,0\r\n"),
}


def loader_seeds():
    seeds = {}
    for name in ("node1_day", "node2_day"):
        seeds["example_" + name] = cut_example(os.path.join(ROOT, "examples", name + ".csv"))
    seeds.update({"loader_test_" + k: v for k, v in LOADER_TEST_FILES.items()})
    n1, n2 = seeds["example_node1_day"], seeds["example_node2_day"]
    seeds["files_two_examples"] = n1 + SEPARATOR + n2
    seeds["files_good_bad_good"] = PLAIN + SEPARATOR + LOADER_TEST_FILES["invalid_value"] + SEPARATOR + PLAIN
    seeds["files_closing_all"] = (PLAIN + SEPARATOR + LOADER_TEST_FILES["bad_exponent"] + SEPARATOR +
                                  LOADER_TEST_FILES["later_file"] + SEPARATOR + PLAIN)
    seeds["files_matched_by_name"] = PLAIN + SEPARATOR + LOADER_TEST_FILES["later_file"]
    return seeds


VALUE_SEEDS = [
    # values
    "12.5", "50%", "2.5k", "1.5M", "1.5E-3", "7e2", "1E+05", "4.", ".25", "", "   ", "' '", "+7", "1E3K",
    "-5.5", "-2.5K", "1.2.3", "N/A", ".", "-", "-.5", "1..", "1E999", "ERR", "NONE", "1E", "1E2.5",
    "1E-999999999999", "0E999999999", "12345678901234567890.5", "1234567.1234567,1", "-0.001,2,3",
    "\"12\"", " 2.5k ",
    # dates and times
    "06-DEC-2026", "6-dec-26", "06-December-2026", "06-DEC-75", "2026-12-06", "06-DEC-2026 10:15:30",
    "31-FEB-2026", "29-FEB-2024", "10:00:00", "23:59:59", "12:00 AM", "1:30:00 PM", "10:61", "1:2:3:4",
    "06-Dec-2026", "06-Xyz-2026", "06--2026", "40-DEC-5", "XX-DEC-2026", "06-DEC-20X6", "DEC 2026",
    "10:15:30.250\n06-DEC-2026", "07-DEC-2026\n06-DEC-2026", "0.0\n06-DEC-2026", "10:00\n",
    "06-DEC-2026 07-DEC-2026", "06-N/F-2026", "06-C/-2026", "06-DEC-0099", "01-JAN-0100",
]


def codec_seeds():
    """Columns for kavra_codec_fuzz: mode byte, run byte, then the column's bytes."""
    import struct
    doubles = [0.0, -0.0, 1e300, -1e-300, 5e-324, float("inf"), float("-inf"), 12.5, 0.452, 1234.56,
               2.2250738585072009e-308, 1e15, -7.0]
    seeds = {
        "raw_awkward": bytes([0, 3]) + b"".join(struct.pack("<d", d) for d in doubles * 3),
        "raw_nan_payload": bytes([0, 200]) + struct.pack("<Q", 0x7FF800000000BEEF) * 4,
        "times_steady": bytes([2, 9, 5]) + bytes([1] * 300),
        "times_gap_and_back": bytes([2, 130, 7]) + bytes([1] * 100 + [200, 255, 255] + [1] * 100),
        "awkward_runs": bytes([3, 64]) + bytes(range(0, 256, 3)),
    }
    for e in range(4):
        for scale in range(4):
            mode = 1 | e << 2 | scale << 5
            body = b"".join(struct.pack("<h", (i * 37) % 2000 - 300) for i in range(200))
            body += b"\xff" + struct.pack("<d", 3.3e-300) + struct.pack("<h", 5) * 20
            seeds["decimal_e%d_scale%d" % (e, scale)] = bytes([mode, 17 * (e + scale)]) + body
    return seeds


def write(folder, seeds):
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(HERE, "corpus"))
    args = parser.parse_args()
    write(os.path.join(args.out, "loader"), loader_seeds())
    write(os.path.join(args.out, "values"),
          {"seed_%02d" % i: s.encode("latin-1") for i, s in enumerate(VALUE_SEEDS)})
    write(os.path.join(args.out, "codec"), codec_seeds())
    total = sum(os.path.getsize(os.path.join(d, f))
                for d, _, files in os.walk(args.out) for f in files)
    print("make_corpus: %d bytes in %s" % (total, args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
