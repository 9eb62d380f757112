"""xif curve on a hydrocarbon stream that condenses fully: continuity, duty
against separate flashes, dew and bubble points, pressure profile, equal
enthalpy steps, and the written files."""
import csv
import json
import os
import xml.etree.ElementTree as ET

from clitest import check, close, finish, run, run_json, tempdir

STREAM = ["--components", "C3H8,NC4,NC5,NC6", "--flows", "0.25,0.25,0.25,0.25"]
T_IN, T_OUT, P = 400.0, 290.0, 5e5


def whole(flash):
    return flash["phases"]["whole"]


# ---- A cooling curve through the dew and the bubble point, every output ----
with tempdir() as d:
    files = {k: os.path.join(d, "c." + k) for k in ("csv", "json", "svg")}
    rc, table, err = run("curve", *STREAM, "--T-in", T_IN, "--T-out", T_OUT, "--P", P,
                         "--points", 12, "--csv", files["csv"], "--json", files["json"],
                         "--plot", files["svg"])
    check(rc == 0, f"curve runs ({rc}: {err})")
    check(sorted(os.listdir(d)) == ["c.csv", "c.json", "c.svg"],
          f"exactly the three outputs are left, no temporary file: {os.listdir(d)}")
    with open(files["json"]) as f:
        doc = json.load(f)
    pts = doc["points"]
    kinds = [p["kind"] for p in pts]
    check(kinds.count("dew") == 1 and kinds.count("bubble") == 1,
          f"one dew and one bubble point: {kinds}")
    check(len(pts) >= 12, "every grid point is there")
    check(close(pts[0]["T"], T_IN) and close(pts[-1]["T"], T_OUT), "inlet first, outlet last")
    check(pts[0]["duty"] == 0.0, "the duty is measured from the inlet")

    # Continuous: temperature and duty both fall at every step.
    for a, b in zip(pts, pts[1:]):
        check(b["T"] < a["T"], f"temperature falls: {a['T']} -> {b['T']}")
        check(b["duty"] < a["duty"], f"duty falls with temperature at {b['T']}")

    # The duty is the enthalpy-flow difference of separate flashes.
    f_in = run_json("flash", *STREAM, "--T", T_IN, "--P", P, "--json")
    f_out = run_json("flash", *STREAM, "--T", T_OUT, "--P", P, "--json")
    total = whole(f_out)["enthalpy_flow"] - whole(f_in)["enthalpy_flow"]
    check(close(pts[-1]["duty"], total, 1e-9), f"total duty {pts[-1]['duty']} vs flashes {total}")

    # The apparent heat capacity carries the latent heat: integrated along the
    # curve it gives the duty again (trapezoids; the extra points near the dew
    # and bubble points keep the kinks narrow).
    flow = 1.0  # kmol/s
    integral = sum(0.5 * (a["apparent_heat_capacity"] + b["apparent_heat_capacity"]) *
                   (b["T"] - a["T"]) * flow for a, b in zip(pts, pts[1:]))
    check(close(integral, total, 0.03), f"integral of apparent Cp {integral} vs duty {total}")
    two_phase = [p for p in pts if 0.0 < p["vapour_fraction"] < 1.0]
    one_phase = [p for p in pts if p["vapour_fraction"] in (0.0, 1.0) and p["kind"] == "point"]
    check(min(p["apparent_heat_capacity"] for p in two_phase) >
          2 * max(p["phases"]["whole"]["heat_capacity"] for p in one_phase),
          "latent heat raises the apparent heat capacity in the two-phase region")
    for p in one_phase:
        check(close(p["apparent_heat_capacity"], whole(p)["heat_capacity"], 0.01),
              f"single phase at {p['T']}: apparent Cp equals the phase heat capacity")

    # Dew and bubble points agree with vapour-fraction flashes.
    for kind, vf in (("dew", 1), ("bubble", 0)):
        p = next(p for p in pts if p["kind"] == kind)
        f = run_json("flash", *STREAM, "--P", P, "--vf", vf, "--json")
        check(close(p["T"], f["T"], 1e-7), f"{kind} point {p['T']} vs flash {f['T']}")
        check(close(p["vapour_fraction"], vf, 0, 1e-9), f"{kind} point vapour fraction")
        # Extra points crowd near it: closer than a tenth of the grid step.
        step = (T_IN - T_OUT) / 11
        near = [q for q in pts if q is not p and abs(q["T"] - p["T"]) < 0.1 * step]
        check(len(near) >= 2, f"extra points near the {kind} point")

    # Phases as in `xif flash --json`, and consistent with the point.
    check(set(pts[0]["phases"]) == set(f_in["phases"]), "the same phases as xif flash")
    check(all(set(pts[0]["phases"][k]) == set(f_in["phases"][k]) for k in f_in["phases"]),
          "the same phase properties as xif flash")
    for p in pts:
        check(close(p["phases"]["vapour"]["fraction"], p["vapour_fraction"], 1e-9, 1e-12),
              f"vapour phase fraction is the vapour fraction at {p['T']}")

    # The CSV holds the same points, one row each, every row complete.
    with open(files["csv"]) as f:
        rows = list(csv.reader(f))
    header = rows[0]
    check(len(rows) - 1 == len(pts), "one CSV row a point")
    check(all(len(r) == len(header) for r in rows), "every CSV row has every column")
    t_col, q_col = header.index("T [K]"), header.index("duty [W]")
    for r, p in zip(rows[1:], pts):
        check(close(float(r[t_col]), p["T"], 1e-9) and close(float(r[q_col]), p["duty"], 1e-9,
                                                               1e-6),
              f"CSV row at {p['T']} matches the JSON")
    check("vapour.viscosity [Pa s]" in header and "liquid2.density [kg/m3]" in header,
          "CSV columns name phase, property and unit")

    # The SVG is well-formed XML with the panels' labels.
    root = ET.parse(files["svg"]).getroot()
    check(root.tag.endswith("svg"), "the plot's root is <svg>")
    texts = " ".join(t.text or "" for t in root.iter() if t.tag.endswith("text"))
    for label in ("dew point", "bubble point", "vapour fraction", "viscosity, Pa s",
                  "density, kg/m3", "temperature, K"):
        check(label in texts, f"the plot shows '{label}'")
    check("stream:" in table and "bubble" in table, "the table goes to stdout")

# ---- A pressure falling from inlet to outlet: dew point on the profile ----
P_OUT = 4e5
doc = run_json("curve", *STREAM, "--T-in", T_IN, "--T-out", T_OUT, "--P", P, "--P-out", P_OUT,
               "--points", 12, "--json")
pts = doc["points"]
for p in pts:
    expect = P + (P_OUT - P) * (p["T"] - T_IN) / (T_OUT - T_IN)
    check(close(p["P"], expect, 1e-7), f"pressure on the linear profile at {p['T']}")
dew = next(p for p in pts if p["kind"] == "dew")
f = run_json("flash", *STREAM, "--P", dew["P"], "--vf", 1, "--json")
check(close(f["T"], dew["T"], 1e-6), "the dew point is a dew point at its own pressure")

# ---- Equal enthalpy steps ----
N = 9
doc = run_json("curve", *STREAM, "--T-in", T_IN, "--T-out", T_OUT, "--P", P, "--points", N,
               "--equal-enthalpy", "--json")
pts = doc["points"]
Q = pts[-1]["duty"]
for k in range(N):
    target = Q * k / (N - 1)
    check(any(close(p["duty"], target, 1e-6, 1e-3) for p in pts),
          f"a point at {k}/{N - 1} of the duty")
for a, b in zip(pts, pts[1:]):
    check(b["T"] <= a["T"] and b["duty"] < a["duty"], "equal-enthalpy curve is monotonic")

# ---- Inlet and outlet at one temperature: points along the pressure drop ----
doc = run_json("curve", *STREAM, "--T-in", 350, "--T-out", 350, "--P", P, "--P-out", 4.5e5,
               "--points", 3, "--json")
check(len(doc["points"]) == 3 and all(close(p["T"], 350) for p in doc["points"]),
      "three points at one temperature")
check([p["P"] for p in doc["points"]] == sorted((p["P"] for p in doc["points"]), reverse=True),
      "pressure falls along the points")

# ---- Stream options reach the host: the water tables and the method ----
water = ["--components", "WATER", "--flows", 1, "--T", 300, "--P", 1e5, "--json"]
tables = run_json("flash", *water)["phases"]["liquid1"]
mixture = run_json("flash", *water, "--no-water-tables")["phases"]["liquid1"]
srk = run_json("flash", *water, "--no-water-tables", "--method", "srk")["phases"]["liquid1"]
check(tables["density"] != mixture["density"], "--no-water-tables changes the liquid's model")
check(srk["enthalpy"] != mixture["enthalpy"], "--method srk changes the equation of state")
doc = run_json("curve", "--components", "WATER", "--flows", 1, "--T-in", 300, "--T-out", 310,
               "--P", 1e5, "--points", 2, "--no-water-tables", "--json")
check(close(doc["points"][0]["phases"]["liquid1"]["density"], mixture["density"], 1e-12),
      "curve takes --no-water-tables too")

finish()
