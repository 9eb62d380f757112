"""xif curve on a hydrocarbon stream that condenses fully: duty against
separate flashes, dew and bubble points, pressure profile, equal enthalpy
steps, stream options, and the written files."""
import csv
import json
import os
import xml.etree.ElementTree as ET

from clitest import check, close, finish, run, run_json, tempdir

STREAM = ["--components", "C3H8,NC4,NC5,NC6", "--flows", "0.25,0.25,0.25,0.25"]
T_IN, T_OUT, P = 400.0, 290.0, 5e5
CURVE = ["curve", *STREAM, "--T-in", T_IN, "--T-out", T_OUT, "--P", P]

with tempdir() as d:
    files = [os.path.join(d, "c." + k) for k in ("csv", "json", "svg")]
    rc, table, err = run(*CURVE, "--points", 12, "--csv", files[0], "--json", files[1],
                         "--plot", files[2])
    check(rc == 0 and "stream:" in table, f"curve runs and prints its table ({rc}: {err})")
    check(sorted(os.listdir(d)) == ["c.csv", "c.json", "c.svg"], f"no temporary: {os.listdir(d)}")
    pts = json.load(open(files[1]))["points"]
    check(close(pts[0]["T"], T_IN) and close(pts[-1]["T"], T_OUT) and pts[0]["duty"] == 0.0,
          "inlet first with no duty, outlet last")
    check(all(b["T"] < a["T"] and b["duty"] < a["duty"] for a, b in zip(pts, pts[1:])), "falls")

    # The duty is the enthalpy-flow difference of separate flashes, and the
    # apparent heat capacity integrated along the curve (1 kmol/s) gives it again.
    f_in, f_out = (run_json("flash", *STREAM, "--T", T, "--P", P) for T in (T_IN, T_OUT))
    total = f_out["phases"]["whole"]["enthalpy_flow"] - f_in["phases"]["whole"]["enthalpy_flow"]
    check(close(pts[-1]["duty"], total, 1e-9), f"total duty {pts[-1]['duty']} vs flashes {total}")
    integral = sum(0.5 * (a["apparent_heat_capacity"] + b["apparent_heat_capacity"]) *
                   (b["T"] - a["T"]) for a, b in zip(pts, pts[1:]))
    check(close(integral, total, 0.03), f"integral of apparent Cp {integral} vs duty {total}")
    for p in pts:
        if p["vapour_fraction"] in (0.0, 1.0) and p["kind"] == "point":
            check(close(p["apparent_heat_capacity"], p["phases"]["whole"]["heat_capacity"], 0.01),
                  f"single phase at {p['T']}: apparent Cp is the heat capacity")

    # One dew and one bubble point, as vapour-fraction flashes find them.
    for kind, vf in (("dew", 1), ("bubble", 0)):
        at = [p for p in pts if p["kind"] == kind]
        f = run_json("flash", *STREAM, "--P", P, "--vf", vf)
        check(len(at) == 1 and close(at[0]["T"], f["T"], 1e-7) and
              close(at[0]["vapour_fraction"], vf, 0, 1e-9), f"{kind} point {at} vs {f['T']}")

    header, *rows = list(csv.reader(open(files[0])))
    t, q = header.index("T [K]"), header.index("duty [W]")
    check(len(rows) == len(pts) and all(len(r) == len(header) for r in rows) and
          all(close(float(r[t]), p["T"]) and close(float(r[q]), p["duty"], 1e-9, 1e-6)
              for r, p in zip(rows, pts)), "the CSV holds the same points, every row complete")
    check("vapour.viscosity [Pa s]" in header and "liquid2.density [kg/m3]" in header,
          "CSV columns name phase, property and unit")
    texts = " ".join(t.text or "" for t in ET.parse(files[2]).getroot().iter() if t.text)
    for label in ("dew point", "bubble point", "viscosity, Pa s", "density, kg/m3",
                  "temperature, K", "two liquids (none found)"):
        check(label in texts, f"the plot shows '{label}'")

# A pressure falling linearly in T; the dew point is one at its own pressure.
pts = run_json(*CURVE, "--P-out", 4e5, "--points", 12)["points"]
check(all(close(p["P"], P + (4e5 - P) * (p["T"] - T_IN) / (T_OUT - T_IN), 1e-7) for p in pts),
      "pressure on the linear profile")
dew = next(p for p in pts if p["kind"] == "dew")
check(close(run_json("flash", *STREAM, "--P", dew["P"], "--vf", 1)["T"], dew["T"], 1e-6),
      "the dew point at its own pressure")

# Inlet and outlet at one temperature: the points run along the pressure drop.
pts = run_json("curve", *STREAM, "--T-in", 350, "--T-out", 350, "--P", P, "--P-out", 4.5e5,
               "--points", 3)["points"]
check([p["P"] for p in pts] == sorted((p["P"] for p in pts), reverse=True) and len(pts) == 3 and
      all(close(p["T"], 350) for p in pts), "isothermal curve")

# Equal enthalpy steps.
pts = run_json(*CURVE, "--points", 9, "--equal-enthalpy")["points"]
for k in range(9):
    check(any(close(p["duty"], pts[-1]["duty"] * k / 8, 1e-6, 1e-3) for p in pts),
          f"a point at {k}/8 of the duty")

# Stream options reach the host: the water tables and the method, in flash and curve.
water = ["--components", "WATER", "--flows", 1]
options = ([], ["--no-water-tables"], ["--no-water-tables", "--method", "srk"])
tables, mixture, srk = (run_json("flash", *water, "--T", 300, "--P", 1e5, *o)["phases"]["liquid1"]
                        for o in options)
check(tables["density"] != mixture["density"], "--no-water-tables changes the liquid's model")
check(srk["enthalpy"] != mixture["enthalpy"], "--method srk changes the equation of state")
doc = run_json("curve", *water, "--T-in", 300, "--T-out", 310, "--P", 1e5, "--points", 2,
               "--no-water-tables")
check(close(doc["points"][0]["phases"]["liquid1"]["density"], mixture["density"], 1e-12),
      "curve takes --no-water-tables too")

finish()
