#!/usr/bin/env python3
"""Bundles: the fuzz targets' inputs, a working directory and its console
replies in one text file (see fuzz_support.h).

    python3 fuzz/bundle.py seeds              rewrites fuzz/corpus/*/seed-* from
                                              example/ and the reference runs
    python3 fuzz/bundle.py unbundle FILE DIR  makes DIR the working directory of
                                              FILE, with the replies in
                                              DIR/answers.txt; then
                                              (cd DIR && pavecast < answers.txt)
"""

import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")
EXAMPLE = os.path.join(ROOT, "example")
RUNS = os.path.join(ROOT, "tests", "data", "reference-runs")


def bundle(answers, files):
    """files: list of (relative path, bytes); a path ending in '/' is a directory."""
    out = [b"%%answers\n", answers]
    for path, data in files:
        out.append(b"%%" + path.encode() + b"\n")
        out.append(data)
    return b"".join(out)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def lines(data, n):
    return b"".join(data.splitlines(keepends=True)[:n])


def trimmed_scores(data, per_group):
    """The header, the name and the first segment lines of every group."""
    rows = data.splitlines(keepends=True)
    out, in_group, kept = rows[:2], False, 0
    for row in rows[2:]:
        blank = row[:23].strip() == b""
        if not in_group:
            out.append(row)
            in_group, kept = True, 0
        elif blank:
            out.append(row)
            in_group = False
        elif kept < per_group:
            out.append(row)
            kept += 1
    return b"".join(out)


def directory(path):
    """Every file and empty directory under path, relative, sorted."""
    found = []
    for base, dirs, names in os.walk(path):
        for d in dirs:
            full = os.path.join(base, d)
            if not os.listdir(full):
                found.append((os.path.relpath(full, path) + "/", b""))
        for n in names:
            full = os.path.join(base, n)
            found.append((os.path.relpath(full, path), read(full)))
    return sorted(found)


def sources():
    """(name, data directory files as {name: bytes}, roads {name: bytes}, other files)"""
    result = []
    ex = {n: read(os.path.join(EXAMPLE, "data", n)) for n in os.listdir(os.path.join(EXAMPLE, "data"))}
    ex["random.dat"] = lines(ex["random.dat"], 600)
    roads = {"NET1": trimmed_scores(read(os.path.join(EXAMPLE, "roads", "NET1")), 12)}
    result.append(("example", ex, roads, {"force.txt": read(os.path.join(EXAMPLE, "force.txt"))}))
    for run in sorted(os.listdir(RUNS)):
        inp = os.path.join(RUNS, run, "input")
        if not os.path.isdir(inp):
            continue
        data = {n: read(os.path.join(inp, "data", n)) for n in os.listdir(os.path.join(inp, "data"))}
        roads_dir = os.path.join(inp, "roads")
        roads = {n: read(os.path.join(roads_dir, n)) for n in os.listdir(roads_dir)} if os.path.isdir(roads_dir) else {}
        other = {n: read(os.path.join(inp, n)) for n in os.listdir(inp)
                 if os.path.isfile(os.path.join(inp, n)) and n != "answers.txt"}
        result.append((run, data, roads, other))
    return result


def variants(data, base):
    """The files of `base` in a data directory: base.dat, base.s01, ..."""
    return sorted((n, v) for n, v in data.items() if n.startswith(base + "."))


def seeds():
    out = {}

    def add(target, name, content):
        out.setdefault(target, {})[name] = content

    layouts = [
        (b"I2,F7.2,I4,I2,1X,A23,1X,A38", b" 5   4.561620 1 US-23                   From I-96 to 6 Mile Rd\n 0\n"),
        (b"I1,1X,I2,1X,I1,A1,A29,F4.1,4X,F5.3,1X,I1", b"1 10 2*Crack seal                    1.0    0.020 0\n"),
        (b"10(I2,1X)", b"60 60 50 40 30 20 10 10  0  0 \n"),
        (b"A9,T1,9A1,T1,A4", b"NET1     \n"),
        (b"F6.5", b".44888\n"),
        (b"2X,F7.3", b" 1 25.000\n"),
        (b"F6.2", b"  1250\n"),
        (b"I4,1X,A5", b"2025 NAMES\n"),
        (b"'a',/,I3,T2,F5.1,2(I2,1X),$", b"x\n 12 3.5e2\n1 2 3\n"),
        (b"3(A2,I1),F8.3,5X,A", b"ab1cd2ef3   1.5e-3     xyz\nab\n"),
        (b"(I2.2,F4.0)", b"-1 1.5d1\n"),
        (b"notation", b""),
    ]
    for k, (notation, records) in enumerate(layouts):
        add("fuzz_layout", "seed-%02d" % k, notation + b"\n" + records)

    for src, data, roads, other in sources():
        for name, content in variants(data, "funding"):
            for k, answers in enumerate([b"\n\n\nY\n", b"97\nY\n-1\ny\n"]):
                add("fuzz_funding", "seed-%s-%s-%d" % (src, name, k),
                    bundle(answers, [("data/funding.dat", content)]))
        for name, content in variants(data, "priority"):
            add("fuzz_priority", "seed-%s-%s" % (src, name),
                bundle(b"2\n" + b"\n" * 8 + b"Y\n", [("data/priority.dat", content)]))
        for name, content in variants(data, "repairs"):
            add("fuzz_repairs", "seed-%s-%s-n" % (src, name), bundle(b"N\n", [("data/repairs.dat", content)]))
            add("fuzz_repairs", "seed-%s-%s-y" % (src, name),
                bundle(b"Y\n" + b"3\n" * 11, [("data/repairs.dat", content)]))
        for name, content in variants(data, "detrates"):
            add("fuzz_detrates", "seed-%s-%s" % (src, name), bundle(b"", [("data/detrates.dat", content)]))
            ext = name.split(".", 1)[1]
            matrix = data.get("matrix." + ext)
            if matrix is not None:
                add("fuzz_matrix", "seed-%s-%s" % (src, ext),
                    bundle(b"", [("data/detrates.dat", content), ("data/matrix.dat", matrix)]))
        if "class.dat" in data:
            files = [("data/" + n, v) for n, v in sorted(data.items()) if n.startswith("default")]
            files.append(("data/class.dat", data["class.dat"]))
            for k in (1, 2):
                add("fuzz_class", "seed-%s-%d" % (src, k),
                    bundle(b"Y\n%d\n" % k, [(p, v.replace(b"\nN\n", b"\nY\n", 1) if p == "data/default.dat" else v)
                                           for p, v in files]))
        if "default.dat" in data:
            for name, content in sorted(data.items()):
                if not name.startswith("default") or name == "default.dat":
                    continue
                add("fuzz_saved_answers", "seed-%s-%s" % (src, name),
                    bundle(b"", [("data/default.dat", data["default.dat"]), ("data/default2.dat", content)]))
        for name in ("force.txt", "FORCED", "fix.dat"):
            if name in other:
                add("fuzz_forced", "seed-%s-%s" % (src, name), bundle(b"800\n", [("force.txt", other[name])]))
        if "random.dat" in data:
            rnd = lines(data["random.dat"], 600)
            add("fuzz_random", "seed-%s" % src, bundle(b"\n" * 10, [("data/random.dat", rnd)]))
        if "vmt-inc.dat" in data:
            add("fuzz_vmt", "seed-%s" % src, bundle(b"97\n", [("data/vmt-inc.dat", data["vmt-inc.dat"])]))
        for road, content in sorted(roads.items()):
            for k, options in enumerate([b"   1N\n", b"   3Y\n"]):
                add("fuzz_scores", "seed-%s-%s-%d" % (src, road, k),
                    bundle(options, [("data/detrates.dat", data.get("detrates.dat", b"")),
                                     ("roads/NET1", trimmed_scores(content, 40)),
                                     ("data/random.dat", lines(data.get("random.dat", b""), 300))]))

    # Whole runs: the reference runs as they are, and the example answered
    # with Enter throughout.
    for run in sorted(os.listdir(RUNS)):
        inp = os.path.join(RUNS, run, "input")
        if not os.path.isdir(inp):
            continue
        files = [(p, v) for p, v in directory(inp) if p != "answers.txt"]
        add("fuzz_whole_run", "seed-%s" % run, bundle(read(os.path.join(inp, "answers.txt")), files))
    ex_name, ex_data, ex_roads, ex_other = sources()[0]
    files = [("data/" + n, v) for n, v in sorted(ex_data.items())]
    files += [("roads/" + n, v) for n, v in sorted(ex_roads.items())]
    files += [(n, v) for n, v in sorted(ex_other.items())]
    add("fuzz_whole_run", "seed-example", bundle(b"n\n" + b"\n" * 30, files))

    for target, items in sorted(out.items()):
        d = os.path.join(CORPUS, target)
        os.makedirs(d, exist_ok=True)
        for old in os.listdir(d):
            if old.startswith("seed-"):
                os.remove(os.path.join(d, old))
        for name, content in sorted(items.items()):
            with open(os.path.join(d, name), "wb") as f:
                f.write(content)
        print("%-20s %3d seeds" % (target, len(items)))


def unbundle(path, target):
    data = read(path)
    os.makedirs(os.path.join(target, "data"), exist_ok=True)
    os.makedirs(os.path.join(target, "roads"), exist_ok=True)
    current = None
    for row in data.splitlines(keepends=True):
        if row.startswith(b"%%"):
            if current is not None:
                current.close()
                current = None
            name = row[2:].rstrip(b"\n").decode("latin-1")
            if name == "answers":
                name = "answers.txt"
            if name.startswith("/") or ".." in name.split("/"):
                current = None
                continue
            full = os.path.join(target, name)
            if name.endswith("/"):
                os.makedirs(full, exist_ok=True)
                current = None
                continue
            os.makedirs(os.path.dirname(full) or ".", exist_ok=True)
            current = open(full, "wb")
        elif current is not None:
            current.write(row)
    if current is not None:
        current.close()


if __name__ == "__main__":
    if sys.argv[1:2] == ["seeds"]:
        seeds()
    elif sys.argv[1:2] == ["unbundle"] and len(sys.argv) == 4:
        unbundle(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
