"""xif demo: the condenser case writes its three files into a directory it
creates, finds and shades its second liquid, and equals xif curve run on the
same case by hand, in either unit system."""
import json
import os

from clitest import check, close, finish, run, run_json, tempdir


def demo(out, *args):
    rc, table, err = run("demo", "--out", out, *args)
    check(rc == 0 and "written:" in table and
          sorted(os.listdir(out)) == ["demo.csv", "demo.json", "demo.svg"], f"demo ({rc}: {err})")
    return json.load(open(os.path.join(out, "demo.json")))["points"]


with tempdir() as d:
    pts = demo(os.path.join(d, "new", "out"))
    by_hand = run_json("curve", "--components", "WATER,NC6,NC7,N2", "--flows",
                       "0.05,0.02,0.02,0.002", "--T-in", 450, "--T-out", 300, "--P", 2e5,
                       "--P-out", 1.9e5, "--points", 31, "--three-phase", "--noncondensables",
                       "N2")["points"]
    check(len(by_hand) == len(pts) >= 31 and any(p["kind"] == "dew" for p in pts) and
          all(close(a["duty"], b["duty"], 1e-9, 1e-6) for a, b in zip(by_hand, pts)),
          "demo equals the documented xif curve command")
    # Both liquids down to the outlet, the edge located far inside the 5 K grid,
    # and one shaded band a two-liquid step.
    two = [p["phases"]["liquid1"]["fraction"] > 0 and p["phases"]["liquid2"]["fraction"] > 0
           for p in pts]
    edges = [(a["T"], b["T"]) for a, b, x, y in zip(pts, pts[1:], two, two[1:]) if x != y]
    check(two[-1] and edges and all(abs(ta - tb) <= 0.25 for ta, tb in edges), f"edge: {edges}")
    svg = open(os.path.join(d, "new", "out", "demo.svg")).read()
    check(svg.count('fill="#9ecae1" fill-opacity') == sum(x or y for x, y in zip(two, two[1:])) and
          ">two liquids<" in svg, "the two-liquid region shaded and named")
    eng = demo(os.path.join(d, "eng"), "--units", "engineering")
    check(len(eng) == len(pts) and all(close(a["T"], b["T"] - 273.15, 1e-9, 1e-6) and
                                       close(a["duty"], b["duty"] / 1e3, 1e-6, 1e-6)
                                       for a, b in zip(eng, pts)), "engineering demo in °C, kW")
    # An --out that is a file is an error, not a crash.
    open(os.path.join(d, "file"), "w").close()
    rc, _, err = run("demo", "--out", os.path.join(d, "file"))
    check(0 < rc < 128 and "xif:" in err, f"demo into a file fails clearly ({rc}: {err.strip()})")

finish()
