"""xif demo: the condenser case writes its three files, well-formed, into a
directory it creates, prints the table, and agrees with xif curve run on the
same case by hand."""
import csv
import json
import os
import xml.etree.ElementTree as ET

from clitest import check, close, finish, run, run_json, tempdir

with tempdir() as d:
    out = os.path.join(d, "new", "out")
    rc, table, err = run("demo", "--out", out)
    check(rc == 0, f"demo runs ({rc}: {err})")
    check(sorted(os.listdir(out)) == ["demo.csv", "demo.json", "demo.svg"],
          f"the three files, nothing else: {os.listdir(out)}")
    with open(os.path.join(out, "demo.json")) as f:
        doc = json.load(f)
    pts = doc["points"]
    check(len(pts) >= 31, "the demo's 31 points at least")
    check(close(pts[0]["T"], 450) and close(pts[-1]["T"], 300), "450 K down to 300 K")
    check(close(pts[0]["P"], 2e5) and close(pts[-1]["P"], 1.9e5), "2 bar falling to 1.9 bar")
    check(any(p["kind"] == "dew" for p in pts), "the demo finds its dew point")
    check(all(b["duty"] < a["duty"] for a, b in zip(pts, pts[1:])), "duty falls along the curve")
    check(set(pts[0]["phases"]["whole"]["composition"]) == {"WATER", "NC6", "NC7", "N2"},
          "steam, n-hexane, n-heptane and nitrogen")
    # Three phases: the second liquid's edge is located between neighbouring
    # points much closer than the 5 K grid, and the plot shades the region.
    # Two liquids: both present (a lone liquid may be named either one).
    two = [p["phases"]["liquid1"]["fraction"] > 0 and p["phases"]["liquid2"]["fraction"] > 0
           for p in pts]
    check(any(two) and two[-1], "a second liquid down to the outlet")
    edges = [(a["T"], b["T"]) for a, b, x, y in zip(pts, pts[1:], two, two[1:]) if x != y]
    check(len(edges) >= 1 and all(abs(ta - tb) <= 0.05 * 5 for ta, tb in edges),
          f"the second liquid's edge is located: {edges}")
    svg_text = open(os.path.join(out, "demo.svg")).read()
    check(svg_text.count('fill="#9ecae1" fill-opacity') == sum(
        1 for x, y in zip(two, two[1:]) if x or y), "one shaded band a two-liquid step")
    check(">two liquids<" in svg_text, "the legend names the two-liquid region")
    with open(os.path.join(out, "demo.csv")) as f:
        rows = list(csv.reader(f))
    check(len(rows) == len(pts) + 1 and all(len(r) == len(rows[0]) for r in rows),
          "the CSV has a header and a full row a point")
    root = ET.parse(os.path.join(out, "demo.svg")).getroot()
    check(root.tag.endswith("svg"), "the SVG parses")
    check("stream: WATER NC6 NC7 N2" in table and "written:" in table, "the table is printed")

    # The same case by hand.
    by_hand = run_json("curve", "--components", "WATER,NC6,NC7,N2", "--flows",
                       "0.05,0.02,0.02,0.002", "--T-in", 450, "--T-out", 300, "--P", 2e5,
                       "--P-out", 1.9e5, "--points", 31, "--three-phase", "--noncondensables",
                       "N2", "--json")
    check(len(by_hand["points"]) == len(pts) and
          all(close(a["duty"], b["duty"], 1e-9, 1e-6) for a, b in zip(by_hand["points"], pts)),
          "demo equals the documented xif curve command")

    # Engineering units: the same curve in °C and kW.
    eng = os.path.join(d, "eng")
    rc, table, _ = run("demo", "--out", eng, "--units", "engineering")
    with open(os.path.join(eng, "demo.json")) as f:
        e = json.load(f)["points"]
    check(rc == 0 and len(e) == len(pts), "the engineering demo runs")
    check(all(close(a["T"], b["T"] - 273.15, 1e-9, 1e-6) and
              close(a["duty"], b["duty"] / 1e3, 1e-6, 1e-6) for a, b in zip(e, pts)),
          "engineering demo is the SI demo in °C and kW")

# An --out that is a file is an error, not a crash.
with tempdir() as d:
    f = os.path.join(d, "file")
    open(f, "w").close()
    rc, _, err = run("demo", "--out", f)
    check(0 < rc < 128 and "xif:" in err, f"demo into a file fails clearly ({rc}: {err.strip()})")

finish()
