#!/usr/bin/env python3
"""Writes the bundled example: the data directory and the scores file roads/NET1.

Everything is deterministic (a Park-Miller generator with fixed seeds), so
running this again reproduces the committed files byte for byte. After writing,
every record is read back and checked against its fixed-column layout.

Usage: python3 example/generate.py [output directory, default: this script's directory]
"""

import os
import re
import sys


# --- deterministic random numbers -------------------------------------------

class MinStd:
    """Park-Miller minimal standard generator (multiplier 48271)."""

    M = 2147483647

    def __init__(self, seed):
        self.x = seed % self.M or 1

    def next(self):
        self.x = self.x * 48271 % self.M
        return self.x / self.M  # in (0, 1)

    def pick(self, items):
        return items[int(self.next() * len(items))]


# --- fixed-column writers ----------------------------------------------------

def fmt_i(v, w):
    s = "%d" % v
    return s.rjust(w) if len(s) <= w else "*" * w


def fmt_f(v, w, d):
    s = "%.*f" % (d, v)
    if len(s) > w and s.startswith("0."):
        s = s[1:]  # F6.5 of a fraction: no room for the leading zero
    return s.rjust(w) if len(s) <= w else "*" * w


def fmt_a(s, w):
    assert len(s) <= w, (s, w)
    return s.ljust(w)


# --- the parameter data ------------------------------------------------------

PAVEMENT_TYPES = ["ACC", "PCC", "COMP"]  # index 1, 2, 3 everywhere

# Unit costs in dollars per lane-mile (2024 prices, see README.md); the
# repairs files hold millions of dollars per 2 lane-miles.
COST_PER_LANE_MILE = {
    "Crack seal": 5000,
    "Chip seal": 30000,
    "Micro-surfacing": 50000,
    "Thin HMA overlay": 120000,
    "Concrete repair and grinding": 200000,
    "Mill and HMA overlay": 300000,
    "Structural HMA overlay": 450000,
    "Rubblize and HMA overlay": 800000,
    "Reconstruction": 1400000,
}


def action(rank, number, repeats, mark, desc, gain, new_type=0):
    return (rank, number, repeats, mark, desc, gain, COST_PER_LANE_MILE[desc] * 2 / 1e6, new_type)


# rank, number, max repeats, changeable, description, score gain, cost per
# 2 lane-miles ($M), new pavement type
REPAIRS = {
    "dat": [
        action(1, 10, 2, "*", "Crack seal", 0.5),
        action(2, 20, 2, "*", "Chip seal", 1.5),
        action(3, 30, 1, "*", "Thin HMA overlay", 2.5),
        action(4, 35, 1, "*", "Concrete repair and grinding", 3.0),
        action(5, 40, 1, "*", "Mill and HMA overlay", 4.0),
        action(6, 50, 1, " ", "Structural HMA overlay", 5.5),
        action(7, 55, 1, " ", "Rubblize and HMA overlay", 7.0, 3),
        action(9, 60, 9, " ", "Reconstruction", 9.0),
    ],
    "s01": [
        action(1, 10, 3, "*", "Crack seal", 0.5),
        action(2, 20, 3, "*", "Chip seal", 1.5),
        action(3, 25, 2, "*", "Micro-surfacing", 2.0),
        action(4, 30, 1, "*", "Thin HMA overlay", 2.5),
        action(5, 35, 2, "*", "Concrete repair and grinding", 3.0),
        action(6, 40, 1, "*", "Mill and HMA overlay", 4.0),
        action(7, 50, 1, " ", "Structural HMA overlay", 5.5),
        action(9, 60, 9, " ", "Reconstruction", 9.0),
    ],
    "s02": [
        action(1, 10, 1, "*", "Crack seal", 0.5),
        action(2, 30, 1, "*", "Thin HMA overlay", 2.5),
        action(3, 40, 2, "*", "Mill and HMA overlay", 4.0),
        action(4, 50, 1, "*", "Structural HMA overlay", 5.5),
        action(5, 55, 1, " ", "Rubblize and HMA overlay", 7.0, 3),
        action(9, 60, 9, " ", "Reconstruction", 9.0),
    ],
}

# Points lost per year, classes 10 down to 1: slow while new, fastest in
# the middle classes, slow again near the floor of the scale.
RATES_STANDARD = {
    "ACC": [0.10, 0.15, 0.20, 0.25, 0.30, 0.30, 0.30, 0.25, 0.15, 0.10],
    "PCC": [0.10, 0.10, 0.15, 0.20, 0.25, 0.25, 0.25, 0.20, 0.15, 0.10],
    # cracks of the concrete below come through an asphalt overlay early
    "COMP": [0.10, 0.15, 0.25, 0.30, 0.30, 0.30, 0.30, 0.25, 0.15, 0.10],
}
RATES = {
    "dat": RATES_STANDARD,
    "s01": RATES_STANDARD,
    # heavier truck loading: about 10 percent faster everywhere
    "s02": {p: [round(r * 1.10 + 1e-9, 2) for r in v] for p, v in RATES_STANDARD.items()},
}

# Action number for classes 1 (worst) to 10 (best).
MATRICES = {
    "dat": {
        "ACC": [60, 50, 50, 40, 40, 30, 20, 10, 0, 0],
        "PCC": [60, 55, 55, 35, 35, 35, 10, 10, 0, 0],
        "COMP": [60, 50, 50, 40, 40, 30, 20, 10, 0, 0],
    },
    "s01": {
        "ACC": [60, 50, 50, 40, 30, 25, 20, 10, 10, 0],
        "PCC": [60, 60, 35, 35, 35, 35, 10, 10, 10, 0],
        "COMP": [60, 50, 50, 40, 30, 25, 20, 10, 10, 0],
    },
    "s02": {
        "ACC": [60, 60, 60, 50, 40, 30, 10, 0, 0, 0],
        "PCC": [60, 60, 60, 55, 55, 10, 10, 0, 0, 0],
        "COMP": [60, 60, 60, 50, 40, 30, 10, 0, 0, 0],
    },
}

# Priority of classes 1 to 8 (a larger number is taken earlier).
PRIORITIES = {
    "dat": [80, 80, 90, 100, 100, 90, 70, 50],
    "s01": [30, 30, 40, 60, 100, 150, 200, 150],
    "s02": [200, 180, 150, 120, 100, 80, 60, 40],
}


def funding_schedule(ext):
    if ext == "dat":  # $40M growing 2 percent a year
        v, out = 40.0, []
        for _ in range(20):
            out.append(round(v, 3))
            v *= 1.02
        return out
    if ext == "s01":
        return [25.0] * 20
    # a bond programme ramping up
    return [30.0, 32.0, 35.0, 38.0, 42.0, 45.0, 48.0, 50.0, 52.0, 54.0,
            55.0, 56.0, 57.0, 58.0, 60.0]


DATA_SETS = [
    ("s01", "Regional network, preservation-first policy"),
    ("s02", "Heavy-freight growth, rebuild-first policy"),
]

# The 20 saved answers of each data set, as the program itself writes them.
ANSWERS = {
    "default2.dat": dict(printout=1, date="N", trace="N", force="N", force_file="force.txt",
                         dollars="Y", funding=40.0, years=10, repeat="N", order=3,
                         scores="NET1", split="N", factor=1, randomize="Y", recon="N",
                         prob=5, final="N", prnt="N", aux="Y", vmt="N"),
    "default.s01": dict(printout=1, date="N", trace="N", force="N", force_file="force.txt",
                        dollars="Y", funding=25.0, years=15, repeat="N", order=2,
                        scores="NET1", split="N", factor=1, randomize="Y", recon="N",
                        prob=5, final="N", prnt="N", aux="Y", vmt="Y"),
    "default.s02": dict(printout=1, date="N", trace="N", force="N", force_file="force.txt",
                        dollars="Y", funding=-1.0, years=12, repeat="N", order=3,
                        scores="NET1", split="N", factor=1, randomize="Y", recon="Y",
                        prob=2, final="Y", prnt="N", aux="Y", vmt="N"),
}


# --- the road network --------------------------------------------------------

# North-south roads, west to east: (street name, trunkline route or None).
NS_ROADS = [
    ("Pontiac Trail", None), ("Milford Rd", None), ("Napier Rd", None),
    ("Wixom Rd", None), ("Beck Rd", None), ("Taft Rd", None), ("Novi Rd", None),
    ("Meadowbrook Rd", None), ("Haggerty Rd", None), ("Halsted Rd", None),
    ("Drake Rd", None), ("Farmington Rd", None), ("Orchard Lake Rd", None),
    ("Middlebelt Rd", None), ("Inkster Rd", None), ("Telegraph Rd", "US-24"),
    ("Lahser Rd", None), ("Evergreen Rd", None), ("Southfield Rd", None),
    ("Greenfield Rd", None), ("Coolidge Hwy", None), ("Woodward Ave", "M-1"),
    ("Crooks Rd", None), ("Livernois Rd", None), ("Rochester Rd", "M-150"),
    ("John R Rd", None), ("Dequindre Rd", None),
]
# East-west roads, north to south.
EW_ROADS = [
    ("Highland Rd", "M-59"), ("Walton Blvd", None), ("Square Lake Rd", None),
    ("Long Lake Rd", None), ("Maple Rd", None), ("14 Mile Rd", None),
    ("13 Mile Rd", None), ("12 Mile Rd", None), ("11 Mile Rd", None),
    ("10 Mile Rd", None), ("9 Mile Rd", None), ("8 Mile Rd", "M-102"),
    ("Grand River Ave", "M-5"), ("7 Mile Rd", None), ("6 Mile Rd", None),
    ("5 Mile Rd", None), ("Schoolcraft Rd", None), ("Plymouth Rd", None),
    ("Joy Rd", None), ("Warren Rd", None), ("Ford Rd", "M-153"),
    ("Cherry Hill Rd", None), ("Michigan Ave", "US-12"),
]

# Freeways: route, lanes, typical interchange spacing (miles), pavement types
# along the route (west/north part first), interchanges in order.
FREEWAYS = [
    ("I-96", 6, 1.9, ["COMP", "PCC"],
     ["Kent Lake Rd", "Milford Rd", "Wixom Rd", "Beck Rd", "Novi Rd", "I-275",
      "Farmington Rd", "Middlebelt Rd", "Inkster Rd", "Telegraph Rd", "Evergreen Rd",
      "M-39", "Greenfield Rd", "Schaefer Hwy"]),
    ("I-696", 6, 1.3, ["PCC"],
     ["I-275", "Orchard Lake Rd", "Middlebelt Rd", "Inkster Rd", "Telegraph Rd",
      "Lahser Rd", "Evergreen Rd", "Southfield Rd", "Greenfield Rd", "Coolidge Hwy",
      "Woodward Ave", "I-75", "Dequindre Rd"]),
    ("I-275", 6, 1.6, ["PCC", "COMP"],
     ["Michigan Ave", "Ford Rd", "Ann Arbor Rd", "5 Mile Rd", "6 Mile Rd",
      "7 Mile Rd", "8 Mile Rd", "I-96/I-696"]),
    ("I-75", 6, 1.7, ["PCC"],
     ["8 Mile Rd", "9 Mile Rd", "12 Mile Rd", "14 Mile Rd", "Rochester Rd",
      "Big Beaver Rd", "Crooks Rd", "Square Lake Rd", "University Dr", "M-59",
      "Joslyn Rd", "Sashabaw Rd"]),
    ("US-23", 4, 2.4, ["COMP", "ACC"],
     ["Lee Rd", "M-59", "Clyde Rd", "Silver Lake Rd", "Grand River Ave", "I-96",
      "6 Mile Rd", "N Territorial Rd", "Warren Rd", "Plymouth Rd", "M-14"]),
    ("M-5 (Haggerty Conn)", 4, 1.2, ["ACC"],
     ["Pontiac Trail", "14 Mile Rd", "13 Mile Rd", "12 Mile Rd", "I-696"]),
    ("M-39 (Southfield Fwy)", 6, 1.1, ["PCC", "COMP"],
     ["I-696", "10 Mile Rd", "9 Mile Rd", "8 Mile Rd", "7 Mile Rd",
      "McNichols Rd", "Grand River Ave", "I-96"]),
]

# Municipalities on a 5 x 4 grid (north to south, west to east): MCD code and
# whether local roads there are city streets (jurisdiction 3) or county roads (2).
MUNICIPALITIES = [
    [(1410, False), (1420, False), (1430, True), (1440, True)],
    [(1510, False), (1520, True), (1530, True), (1540, True)],
    [(1610, True), (1620, True), (1630, True), (1640, True)],
    [(1710, False), (1720, True), (1730, True), (1740, True)],
    [(1810, False), (1820, True), (1830, True), (1840, True)],
]

TARGET_SEGMENTS = 800
TARGET_LANE_MILES = 2000.0


def municipality(ew_index, ns_index):
    row = min(ew_index * 5 // len(EW_ROADS), 4)
    col = min(ns_index * 4 // len(NS_ROADS), 3)
    return MUNICIPALITIES[row][col]


def build_network():
    """Returns a list of segment dicts in file order within each type."""
    rng = MinStd(20250101)
    segs = []

    for route, lanes, spacing, types, exits in FREEWAYS:
        n = len(exits) - 1
        for k in range(n):
            length = spacing * (0.7 + 0.6 * rng.next())
            ptype = types[min(k * len(types) // n, len(types) - 1)]
            code, _ = MUNICIPALITIES[int(rng.next() * 5)][int(rng.next() * 4)]
            segs.append(dict(road=route, name=route, desc="From %s to %s" % (exits[k], exits[k + 1]),
                             miles=length * lanes, ptype=ptype, mcd=code, jur=1, group=route,
                             lanes=lanes, kind="freeway"))

    # Arterials: a span of each grid road, between consecutive crossings.
    roads = []
    for axis, grid, crossings in (("ew", EW_ROADS, NS_ROADS), ("ns", NS_ROADS, EW_ROADS)):
        for r, (street, trunk) in enumerate(grid):
            span = len(crossings) - 1
            if trunk:
                first, count = 0, span
            else:
                count = int(span * (0.45 + 0.5 * rng.next()))
                first = int((span - count) * rng.next())
            lanes = 5 if trunk else rng.pick([2, 2, 2, 3, 4, 4, 5])
            name = "%s (%s)" % (trunk, street) if trunk else street
            if trunk in ("M-1", "M-102"):
                base = "PCC"
            elif trunk:
                base = "COMP"
            elif lanes >= 4:
                base = rng.pick(["ACC", "ACC", "COMP", "PCC"])
            else:
                base = "ACC"
            road = []
            for k in range(first, first + count):
                a, b = crossings[k][0], crossings[k + 1][0]
                if a == street or b == street:
                    continue
                ew, ns = (r, k) if axis == "ew" else (k, r)
                code, city = municipality(ew, ns)
                ptype = base
                u = rng.next()
                if base == "ACC" and u < 0.10:
                    ptype = "COMP"
                elif base != "ACC" and u < 0.15:
                    ptype = "ACC"
                road.append(dict(road=street, name=name, desc="From %s to %s" % (a, b),
                                 miles=(0.75 + 0.45 * rng.next()) * lanes, ptype=ptype,
                                 mcd=code, jur=1 if trunk else (3 if city else 2),
                                 group=street, lanes=lanes, kind="trunk" if trunk else "arterial"))
            roads.append((trunk, road))

    # Trim the county roads' spans, one end segment at a time in turn, until
    # the network has the target number of segments.
    excess = len(segs) + sum(len(road) for _, road in roads) - TARGET_SEGMENTS
    assert excess >= 0, excess
    turn = 0
    while excess > 0:
        trunk, road = roads[turn % len(roads)]
        if not trunk and len(road) > 4:
            road.pop(-1 if turn % 2 else 0)
            excess -= 1
        turn += 7  # a step prime to the road count spreads the trimming
    assert len(roads) % 7 != 0
    for _, road in roads:
        segs.extend(road)

    # Scale lengths so the network holds the target lane-miles.
    total = sum(s["miles"] for s in segs)
    for s in segs:
        s["miles"] = round(s["miles"] * TARGET_LANE_MILES / total, 2)

    assign_condition(segs, MinStd(77123))
    return segs


# Share of the lane-miles at each file score 1 to 10. In the program's terms
# (poor: score 5 or less, fair: 6, good: 7 or more) the network starts 35
# percent poor, 20 percent fair and 45 percent good.
SCORE_SHARES = [0.01, 0.03, 0.06, 0.11, 0.14, 0.20, 0.17, 0.14, 0.09, 0.05]


def assign_condition(segs, rng):
    """Scores 1..10 with SCORE_SHARES of the lane-miles.

    A road's sections tend to be paved together, so each road gets a common
    condition and each segment a spread around it; the cut points are then
    placed by lane-miles."""
    road_level = {}
    for s in segs:
        if s["group"] not in road_level:
            road_level[s["group"]] = rng.next()
        s["latent"] = 0.55 * road_level[s["group"]] + 0.45 * rng.next()
    order = sorted(segs, key=lambda s: s["latent"])  # worst first
    total = sum(s["miles"] for s in segs)
    bands, limit = [], 0.0
    for score, share in enumerate(SCORE_SHARES, 1):
        limit += share
        bands.append((limit if score < 10 else 1.01, score))
    done = 0.0
    for s in order:
        mid = (done + s["miles"] / 2) / total
        s["score"] = next(score for limit, score in bands if mid < limit)
        done += s["miles"]


# --- writing -----------------------------------------------------------------

def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\n") as f:
        for line in lines:
            f.write(line + "\n")


def answers_lines(a):
    return [
        fmt_i(a["printout"], 1), a["date"], a["trace"], a["force"], fmt_a(a["force_file"], 12),
        a["dollars"], fmt_f(a["funding"], 6, 2), fmt_i(a["years"], 2), a["repeat"],
        fmt_i(a["order"], 1), fmt_a(a["scores"], 9), a["split"], fmt_i(a["factor"], 4),
        a["randomize"], a["recon"], fmt_f(a["prob"], 5, 0) + ".", a["final"], a["prnt"],
        a["aux"], a["vmt"],
    ]


def generate(out):
    data = os.path.join(out, "data")
    write(os.path.join(data, "default.dat"), ["", "N", fmt_i(1, 2)])
    write(os.path.join(data, "class.dat"), [fmt_a(e, 3) + " " + fmt_a(t, 45) for e, t in DATA_SETS])
    write(os.path.join(data, "printer.def"), ["1"])
    write(os.path.join(data, "error.dat"), ["0"])
    for name, a in ANSWERS.items():
        write(os.path.join(data, name), answers_lines(a))

    for ext in ("dat", "s01", "s02"):
        write(os.path.join(data, "funding." + ext),
              [fmt_i(k + 1, 2) + fmt_f(v, 7, 3) for k, v in enumerate(funding_schedule(ext))])
        write(os.path.join(data, "priority." + ext), [fmt_i(p, 3) for p in PRIORITIES[ext]])
        write(os.path.join(data, "repairs." + ext), [
            fmt_i(rank, 1) + " " + fmt_i(num, 2) + " " + fmt_i(rep, 1) + mark + fmt_a(desc, 29)
            + fmt_f(gain, 4, 1) + "    " + fmt_f(cost, 5, 3) + " " + fmt_i(new, 1)
            for rank, num, rep, mark, desc, gain, cost, new in REPAIRS[ext]])
        lines = []
        for p in PAVEMENT_TYPES:
            lines.append(fmt_a(p, 8))
            lines.extend(fmt_f(r, 4, 2) for r in RATES[ext][p])
        write(os.path.join(data, "detrates." + ext), lines)
        lines = []
        for p in PAVEMENT_TYPES:
            lines.append(fmt_a(p, 8))
            lines.append("".join(fmt_i(v, 2) + " " for v in MATRICES[ext][p]))
        write(os.path.join(data, "matrix." + ext), lines)

    rng = MinStd(19970)
    write(os.path.join(data, "random.dat"),
          [fmt_f(int(rng.next() * 100000) / 100000, 6, 5) for _ in range(5000)])

    # Traffic growth easing from about 2.5 to 1.5 percent, with year-to-year noise.
    rng = MinStd(4242)
    vmt = []
    for k in range(98):
        v = 2.5 - k / 97.0 + (rng.next() - 0.5)
        vmt.append(fmt_f(min(3.0, max(1.0, v)), 5, 3))
    write(os.path.join(data, "vmt-inc.dat"), vmt)

    # Programmed projects, one of each kind: concrete repair on I-75 in the
    # second simulated year, a thin overlay on 7 Mile Rd in the third, a
    # structural overlay on M-5 in the fifth (year indexes 3, 4 and 6).
    write(os.path.join(out, "force.txt"), [fmt_i(3, 2) + fmt_i(487, 4), fmt_i(4, 2) + fmt_i(150, 4),
                                           fmt_i(6, 2) + fmt_i(655, 4)])

    segs = build_network()
    lines = [fmt_i(2025, 4) + " " + "NAMES", fmt_a("Tri-County Regional", 21)]
    for p in PAVEMENT_TYPES:
        lines.append(fmt_a(p, 8))
        for s in segs:
            if s["ptype"] == p:
                lines.append(fmt_i(s["score"], 2) + fmt_f(s["miles"], 7, 2) + fmt_i(s["mcd"], 4)
                             + fmt_i(s["jur"], 2) + " " + fmt_a(s["name"], 23) + " "
                             + fmt_a(s["desc"], 38))
        lines.append("")
    write(os.path.join(out, "roads", "NET1"), lines)
    write_ratings_table(out, segs)
    write_rating_years(out)
    return segs


# --- ratings tables ----------------------------------------------------------

# The network as the agency's GIS would export it: its own block ids, street,
# from, to, a length in miles and a width in feet, the rating, the pavement
# type in its own words, a functional class, the municipality (MCD) code and
# the district (the program's jurisdiction), and notes. Importing it with
#   --id block_id --score rating --miles length_mi --width-feet width_ft
#   --type-column surface --type-map Asphalt=ACC,Bituminous=ACC,Concrete=PCC,Composite=COMP
#   --mcd mcd --jurisdiction district --highway street --from from_street --to to_street
#   --year 2025 --title "Tri-County Regional"
# gives roads/NET1 byte for byte; the unrated rows (blank or 0) are skipped.
RATINGS_HEADER = ["block_id", "street", "from_street", "to_street", "length_mi", "width_ft",
                  "surface", "func_class", "mcd", "district", "rating", "notes"]

# Blocks not rated this cycle: street, from, to, rating cell.
UNRATED = [
    ("Orchard Lake Rd, Service Dr", "Maple Rd", "14 Mile Rd", ""),
    ("Woodward Ave, Northbound", "9 Mile Rd", "8 Mile Rd", "0"),
    ("Rue Saint-Andr\u00e9", "Napier Rd", "Beck Rd", ""),
    ("Grand River Ave, Frontage", "Halsted Rd", "Drake Rd", ""),
    ("Farmington Rd", "12 Mile Rd", "11 Mile Rd", "0"),
    ("Beck Rd", "Ford Rd", "Cherry Hill Rd", ""),
    ("Milford Rd", "Highland Rd", "Walton Blvd", ""),
    ("Inkster Rd", "Joy Rd", "Warren Rd", "0"),
]

SURFACE_WORDS = {"ACC": "Asphalt", "PCC": "Concrete", "COMP": "Composite"}


def csv_field(value):
    text = str(value)
    if any(c in text for c in ',"\r\n') or text != text.strip():
        return '"' + text.replace('"', '""') + '"'
    return text


def csv_line(fields):
    return ",".join(csv_field(f) for f in fields)


def length_text(value):
    return ("%.6f" % value).rstrip("0").rstrip(".")


def import_lane_miles(length, width):
    """Lane-miles as the import computes them: lanes = width / 12 rounded half
    up (at least 1), times the length, rounded half up to 0.01, in decimal."""
    from decimal import Decimal, ROUND_HALF_UP
    lanes = max(1, int((Decimal(width) / 12).quantize(Decimal(1), rounding=ROUND_HALF_UP)))
    return (Decimal(length) * lanes).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)


def func_class(s):
    if s["kind"] == "freeway":
        return "Interstate" if s["name"].startswith("I-") else "Other Freeway"
    if s["kind"] == "trunk":
        return "Principal Arterial"
    return "Minor Arterial" if s["lanes"] >= 4 else "Major Collector"


def write_ratings_table(out, segs):
    rng = MinStd(31337)
    lines = [csv_line(RATINGS_HEADER)]
    unrated = 0
    for k, s in enumerate(segs):
        m = re.fullmatch(r"From (.*) to (.*)", s["desc"])
        block = "OC-%05d" % (10001 + 3 * k + int(rng.next() * 3))
        width = s["lanes"] * 12 + int(rng.next() * 12) - 6  # rounds back to the lanes
        length = length_text(s["miles"] / s["lanes"])
        assert import_lane_miles(length, width) == import_lane_miles("%.2f" % s["miles"], 12), s
        surface = SURFACE_WORDS[s["ptype"]]
        if s["ptype"] == "ACC" and rng.next() < 0.15:
            surface = "Bituminous"
        notes = ""
        u = rng.next()
        if u < 0.04:
            notes = "crack seal %d, partial" % (2015 + int(rng.next() * 9))
        elif u < 0.06:
            notes = 'rated from the "windshield" survey'
        lines.append(csv_line([block, s["name"], m.group(1), m.group(2), length, width, surface,
                               func_class(s), s["mcd"], s["jur"], s["score"], notes]))
        if k % 100 == 57 and unrated < len(UNRATED):
            street, a, b, cell = UNRATED[unrated]
            lines.append(csv_line(["OC-9%04d" % unrated, street, a, b, "0.25",
                                   24 + 12 * (unrated % 3), "Asphalt", "Major Collector",
                                   1420, 2, cell, "not rated this cycle"]))
            unrated += 1
    assert unrated == len(UNRATED)
    with open(os.path.join(out, "ratings.csv"), "w", newline="\n", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


# Three consecutive years of ratings of a city's blocks, generated from known
# deterioration rates (points lost a year, classes 10 down to 1) that differ
# from data/detrates.dat: these blocks lose points fastest while good and
# slowly once worn. Each block has a true condition on a continuous scale;
# a rating is that condition rounded half up, off by one either way for 7
# percent of the blocks each, within 1 to 10. Between ratings a block either
# deteriorates by its class's rate (the program's year loop, class by the
# integer part + 0.5) or, if worn, may be repaved to a condition of 9.5 to
# 10.5; about 3 percent of the blocks are missing from each year's table.
RATING_YEARS = [2024, 2025, 2026]
RATING_RATES = {
    "ACC": [0.55, 0.55, 0.50, 0.45, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05],
    "PCC": [0.45, 0.45, 0.45, 0.40, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05],
    "COMP": [0.60, 0.55, 0.50, 0.45, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05],
}
RATING_NOISE = 0.07      # share of ratings one point high, and as many one low
REPAVE_BELOW = 7.5       # conditions under this may be repaved ...
REPAVE_SHARE = 0.06      # ... with this chance a year
MISSING_SHARE = 0.03
AVENUES = ["%d%s Ave" % (n, "th" if 10 <= n % 100 <= 20 else {1: "st", 2: "nd", 3: "rd"}.get(n % 10, "th"))
           for n in range(1, 39)]
STREETS = ["Oak", "Elm", "Ash", "Fir", "Bay", "Birch", "Cedar", "Maple", "Pine", "Spruce",
           "Walnut", "Willow", "Poplar", "Alder", "Aspen", "Beech", "Cherry", "Chestnut",
           "Cypress", "Hazel", "Hickory", "Holly", "Juniper", "Laurel", "Linden", "Locust",
           "Magnolia", "Mulberry", "Olive", "Palm", "Pecan", "Plum", "Redwood", "Sassafras",
           "Sumac", "Sycamore", "Tamarack", "Teak", "Tupelo", "Yew"]
STREETS = [s + " St" for s in STREETS]


def rating_blocks():
    """The city's blocks: each street between consecutive avenues, each
    avenue between consecutive streets."""
    rng = MinStd(2024)
    blocks = []
    for axis, names, crossings in (("st", STREETS, AVENUES), ("ave", AVENUES, STREETS)):
        for r, name in enumerate(names):
            base = ["ACC", "ACC", "PCC", "COMP"][int(rng.next() * 4)]
            for k in range(len(crossings) - 1):
                ptype = base
                if rng.next() < 0.2:
                    ptype = PAVEMENT_TYPES[int(rng.next() * 3)]
                lanes = 2 if rng.next() < 0.7 else 3
                ward = 1 + (r * 3 // len(names)) * 3 + k * 3 // (len(crossings) - 1)
                blocks.append(dict(
                    id="B%05d" % (10000 + len(blocks) * 2 + int(rng.next() * 2)), street=name,
                    a=crossings[k], b=crossings[k + 1],
                    length=length_text(round(0.06 + 0.06 * rng.next(), 3)),
                    width=lanes * 12 + int(rng.next() * 12) - 6, ptype=ptype, ward=ward,
                    condition=2.5 + 8.0 * rng.next()))
    return blocks


def write_rating_years(out):
    rng = MinStd(8675309)
    blocks = rating_blocks()
    for y, year in enumerate(RATING_YEARS):
        if y > 0:
            for b in blocks:  # the year between the ratings
                if b["condition"] < REPAVE_BELOW and rng.next() < REPAVE_SHARE:
                    b["condition"] = 9.5 + rng.next()
                    b["repaved"] = year
                else:
                    cls = min(10, max(1, int(b["condition"] + 0.5)))
                    b["condition"] = max(0.5, b["condition"] - RATING_RATES[b["ptype"]][10 - cls])
        lines = [csv_line(["block_id", "street", "from_street", "to_street", "length_mi",
                           "width_ft", "surface", "ward", "rating"])]
        for b in blocks:
            u = rng.next()
            rating = min(10, max(1, int(b["condition"] + 0.5)))
            if u < RATING_NOISE:
                rating = min(10, rating + 1)
            elif u < 2 * RATING_NOISE:
                rating = max(1, rating - 1)
            if rng.next() < MISSING_SHARE:
                continue
            lines.append(csv_line([b["id"], b["street"], b["a"], b["b"], b["length"], b["width"],
                                   SURFACE_WORDS[b["ptype"]], b["ward"], rating]))
        write(os.path.join(out, "ratings-%d.csv" % year), lines)
    rates = []
    for p in PAVEMENT_TYPES:
        rates.append(fmt_a(p, 8))
        rates.extend(fmt_f(r, 4, 2) for r in RATING_RATES[p])
    write(os.path.join(out, "ratings-rates.dat"), rates)
    return blocks


# --- checking ----------------------------------------------------------------

def layout_fields(layout):
    """'I2,1X,F7.2,A8' -> [('I', 2, 0), ('X', 1, 0), ('F', 7, 2), ('A', 8, 0)]."""
    out = []
    for item in layout.split(","):
        m = re.fullmatch(r"(\d*)([IFAX])(\d*)(?:\.(\d+))?", item)
        rep, kind, w, d = m.groups()
        if kind == "X":
            out.append(("X", int(rep or 1), 0))
        else:
            out.extend([(kind, int(w), int(d or 0))] * int(rep or 1))
    return out


def check_record(line, layout, where):
    fields = layout_fields(layout)
    width = sum(w for _, w, _ in fields)
    assert len(line) == width, "%s: %d columns, layout %s has %d: %r" % (where, len(line), layout, width, line)
    pos = 0
    for kind, w, d in fields:
        text = line[pos:pos + w]
        if kind == "I":
            assert re.fullmatch(r" *-?\d+", text), "%s: column %d: %r is not I%d" % (where, pos + 1, text, w)
        elif kind == "F":
            m = re.fullmatch(r" *-?\d*\.(\d*)", text)
            assert m and len(m.group(1)) <= d, "%s: column %d: %r is not F%d.%d" % (where, pos + 1, text, w, d)
        elif kind == "X":
            assert text == " " * w, "%s: column %d should be blank: %r" % (where, pos + 1, text)
        pos += w


def read_lines(path):
    with open(path, "rb") as f:
        raw = f.read()
    assert b"\r" not in raw and raw.endswith(b"\n"), path
    return raw.decode("ascii").split("\n")[:-1]


def check(out):
    data = os.path.join(out, "data")
    d = lambda name: os.path.join(data, name)

    lines = read_lines(d("default.dat"))
    assert lines[0] == "" and len(lines) == 3
    check_record(lines[1], "A1", "default.dat 2")
    check_record(lines[2], "I2", "default.dat 3")
    for k, line in enumerate(read_lines(d("class.dat"))):
        check_record(line, "A3,1X,A45", "class.dat %d" % (k + 1))
    check_record(read_lines(d("printer.def"))[0], "I1", "printer.def")
    check_record(read_lines(d("error.dat"))[0], "I1", "error.dat")

    answer_layouts = ["I1", "A1", "A1", "A1", "A12", "A1", "F6.2", "I2", "A1", "I1",
                      "A9", "A1", "I4", "A1", "A1", "F6.0", "A1", "A1", "A1", "A1"]
    for name in ANSWERS:
        lines = read_lines(d(name))
        assert len(lines) == 20, name
        for k, (line, layout) in enumerate(zip(lines, answer_layouts)):
            check_record(line, layout, "%s %d" % (name, k + 1))
            if layout == "A1":
                assert line in ("Y", "N"), (name, k + 1, line)

    for ext in ("dat", "s01", "s02"):
        for k, line in enumerate(read_lines(d("funding." + ext))):
            check_record(line, "I2,F7.3", "funding.%s %d" % (ext, k + 1))
        lines = read_lines(d("priority." + ext))
        assert len(lines) == 8
        for k, line in enumerate(lines):
            check_record(line, "I3", "priority.%s %d" % (ext, k + 1))
            assert 1 <= int(line) <= 999

        actions = {}
        lines = read_lines(d("repairs." + ext))
        assert 6 <= len(lines) <= 11
        for k, line in enumerate(lines):
            # I1,1X,I2,1X,I1,A1,A29,F4.1,4X,F5.3,1X,I1
            check_record(line, "I1,1X,I2,1X,I1,A1,A29,F4.1,4X,F5.3,1X,I1", "repairs.%s %d" % (ext, k + 1))
            assert line[6] in "* "
            rank, num, new = int(line[0]), int(line[2:4]), int(line[50])
            assert num not in actions
            actions[num] = rank
            assert 0 <= new <= len(PAVEMENT_TYPES)
        ranks = [r for r in actions.values() if r != 9]
        assert ranks == list(range(1, len(ranks) + 1)), ranks

        lines = read_lines(d("detrates." + ext))
        assert len(lines) == 11 * len(PAVEMENT_TYPES)
        names = []
        for b in range(len(PAVEMENT_TYPES)):
            check_record(lines[11 * b], "A8", "detrates.%s name" % ext)
            names.append(lines[11 * b])
            rates = []
            for k in range(1, 11):
                check_record(lines[11 * b + k], "F4.2", "detrates.%s %d" % (ext, 11 * b + k + 1))
                rates.append(float(lines[11 * b + k]))
            assert all(0.1 <= r <= 0.65 for r in rates), rates

        lines = read_lines(d("matrix." + ext))
        assert len(lines) == 2 * len(PAVEMENT_TYPES)
        for b in range(len(PAVEMENT_TYPES)):
            assert lines[2 * b] in names, lines[2 * b]
            check_record(lines[2 * b + 1], ",".join(["I2,1X"] * 10), "matrix.%s values" % ext)
            row = [int(lines[2 * b + 1][3 * c:3 * c + 2]) for c in range(10)]
            for v in row:
                assert v == 0 or v in actions, "matrix.%s: action %d not in repairs.%s" % (ext, v, ext)
            assert row[0] != 0  # class 1 names the reconstruction action

    lines = read_lines(d("random.dat"))
    assert len(lines) >= 2000
    for k, line in enumerate(lines):
        check_record(line, "F6.5", "random.dat %d" % (k + 1))
        assert 0.0 <= float(line) < 1.0
    lines = read_lines(d("vmt-inc.dat"))
    assert len(lines) >= 98
    for k, line in enumerate(lines):
        check_record(line, "F5.4", "vmt-inc.dat %d" % (k + 1))
        assert 1.0 <= float(line) <= 3.0

    for k, line in enumerate(read_lines(os.path.join(out, "force.txt"))):
        check_record(line, "I2,I4", "force.txt %d" % (k + 1))

    # Scores file, names form.
    lines = read_lines(os.path.join(out, "roads", "NET1"))
    check_record(lines[0], "I4,1X,A5", "NET1 header")
    assert lines[0][5:10] == "NAMES"
    check_record(lines[1], "A21", "NET1 name")
    names = [fmt_a(p, 8) for p in PAVEMENT_TYPES]
    totals, count, i = {}, 0, 2
    by_type = {}
    while i < len(lines):
        group = lines[i]
        assert group in names, group
        i += 1
        while lines[i].strip():
            check_record(lines[i], "I2,F7.2,I4,I2,1X,A23,1X,A38", "NET1 line %d" % (i + 1))
            assert "." in lines[i][2:9]
            score, miles = int(lines[i][0:2]), float(lines[i][2:9])
            assert 1 <= score <= 10 and miles > 0
            totals[score] = totals.get(score, 0.0) + miles
            by_type[group.strip()] = by_type.get(group.strip(), 0) + 1
            count += 1
            i += 1
        assert lines[i] == ""
        i += 1
    assert count == TARGET_SEGMENTS, count
    return count, totals, by_type


def randomised_mean(out):
    """The loaded year's mean score with randomised scores: file score s
    becomes s - 0.5 + r, r the next number of random.dat in file order, kept
    within 0.5 to 10."""
    numbers = [float(line) for line in read_lines(os.path.join(out, "data", "random.dat"))]
    lines = read_lines(os.path.join(out, "roads", "NET1"))[2:]
    total = weighted = 0.0
    k = 0
    for line in lines:
        if line.strip() and line[:8].strip() not in PAVEMENT_TYPES:
            score, miles = int(line[0:2]), float(line[2:9])
            weighted += miles * min(10.0, max(0.5, score - 0.5 + numbers[k]))
            total += miles
            k += 1
    return weighted / total


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    generate(out)
    count, totals, by_type = check(out)
    total = sum(totals.values())
    # The program's classes: poor is a score of 5 or less, fair a score of 6.
    poor = sum(v for s, v in totals.items() if s <= 5)
    fair = totals.get(6, 0.0)
    good = total - poor - fair
    print("NET1: %d segments (%s), %.2f lane-miles" % (
        count, ", ".join("%s %d" % (p, by_type[p]) for p in PAVEMENT_TYPES), total))
    print("  poor (1-5) %.2f = %.2f%%, fair (6) %.2f = %.2f%%, good (7-10) %.2f = %.2f%%" % (
        poor, 100 * poor / total, fair, 100 * fair / total, good, 100 * good / total))
    print("  by score: " + ", ".join("%d: %.2f" % (s, totals.get(s, 0.0)) for s in range(1, 11)))
    print("  mean score %.3f as filed, %.3f randomised as the loader does it" % (
        sum(s * v for s, v in totals.items()) / total, randomised_mean(out)))
    print("all records match their layouts")
    with open(os.path.join(out, "ratings.csv"), encoding="utf-8") as f:
        rows = f.read().count("\n") - 1
    print("ratings.csv: %d rows, %d of them unrated; ratings-%d.csv to -%d.csv: %d blocks" % (
        rows, len(UNRATED), RATING_YEARS[0], RATING_YEARS[-1], len(rating_blocks())))


if __name__ == "__main__":
    main()
