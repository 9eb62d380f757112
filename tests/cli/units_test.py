"""Engineering units: a flash or a curve in engineering units is the SI one
converted (°C, bar, kg/h, per kg, mPa s, mN/m, kW), and mass flows are the
molar flows times the molecular weights."""
import csv
import os

from clitest import check, close, finish, run, run_json, tempdir

IDS, KMOL_S, T, P = ["C3H8", "NC4", "NC6"], [0.01, 0.02, 0.005], 330.0, 5e5  # two phases
MW = [run_json("flash", "--components", i, "--flows", 1, "--T", 300, "--P", 1e5)["phases"]
      ["whole"]["molecular_weight"] for i in IDS]
C = ["--components", ",".join(IDS)]
KG_S, KG_H = ([f"{f * m * k:.15g}" for f, m in zip(KMOL_S, MW)] for k in (1, 3600))
SI = [*C, "--flows", ",".join(map(str, KMOL_S))]
ENG = [*C, "--flows", ",".join(KG_H), "--units", "engineering"]
ENG_TP = ["--T", T - 273.15, "--P", P / 1e5]

si, eng = run_json("flash", *SI, "--T", T, "--P", P), run_json("flash", *ENG, *ENG_TP)
check(si["units"] == "si" and eng["units"] == "engineering", "the JSON names its units")
check(0 < si["vapour_fraction"] < 1 and close(eng["vapour_fraction"], si["vapour_fraction"]),
      "the same two-phase flash")
check(close(eng["T"], T - 273.15, 1e-12) and close(eng["P"], P / 1e5, 1e-12), "T in °C, P in bar")

# Every phase property against the SI value and the phase's molecular weight.
per_kg = ("enthalpy", "heat_capacity", "entropy", "heat_of_vaporization")
factor = {"viscosity": 1e3, "surface_tension": 1e3, "enthalpy_flow": 1e-3, "density": 1.0,
          "thermal_conductivity": 1.0, "molecular_weight": 1.0, "fraction": 1.0, "diffusivity": 1.0}
compared = 0
for name, s_phase in si["phases"].items():
    mw = s_phase["molecular_weight"]
    for key, s in ((k, s) for k, s in s_phase.items() if k != "composition" and s is not None):
        expect = (s / mw / 1000 if key in per_kg else s / mw if key == "molar_volume" else
                  s - 273.15 if key == "critical_temperature" else
                  s / 1e5 if key == "critical_pressure" else s * factor[key])
        e = eng["phases"][name][key]
        check(e is not None and close(e, expect, 1e-8, 1e-15), f"{name}.{key}: {e} vs {expect}")
        compared += 1
    check(all(x is None or close(eng["phases"][name]["composition"][c], x, 1e-9, 1e-15)
              for c, x in s_phase["composition"].items()), f"{name} composition stays molar")
check(compared > 30, f"enough values compared ({compared})")

# Mass flows in kg/s and kg/h; a P-H flash in kJ/kg and in J/kmol returns to T.
flow = lambda doc: doc["phases"]["whole"]["enthalpy_flow"]
check(close(flow(run_json("flash", *C, "--mass-flows", ",".join(KG_S), "--T", T, "--P", P)),
            flow(si)), "--mass-flows in kg/s")
check(close(flow(run_json("flash", *C, "--mass-flows", ",".join(KG_H), "--units", "engineering",
                          *ENG_TP)), flow(eng)), "--mass-flows in kg/h")
for stream, doc, P_, T_ in ((ENG, eng, P / 1e5, T - 273.15), (SI, si, P, T)):
    h = f"{doc['phases']['whole']['enthalpy']:.15g}"
    check(close(run_json("flash", *stream, "--P", P_, "--H", h)["T"], T_, 0, 1e-5), f"P-H to {T_}")
rc, table, _ = run("flash", *ENG, "--T", 50, "--P", 5)
check(rc == 0 and all(u in table for u in ("°C", "kJ/kg", "mPa s", "kW")), "the table's units")

# A curve: the SI one in °C, bar, kW and kJ/(kg K) of stream, and so labelled.
with tempdir() as d:
    svg, csv_path = os.path.join(d, "c.svg"), os.path.join(d, "c.csv")
    a_pts = run_json("curve", *SI, "--T-in", 380, "--T-out", 300, "--P", P, "--points", 6)["points"]
    b_pts = run_json("curve", *ENG, "--T-in", 380 - 273.15, "--T-out", 300 - 273.15, "--P", P / 1e5,
                     "--points", 6, "--plot", svg, "--csv", csv_path)["points"]
    mw = sum(f * m for f, m in zip(KMOL_S, MW)) / sum(KMOL_S)
    check(len(a_pts) == len(b_pts) and all(
        a["kind"] == b["kind"] and close(b["T"], a["T"] - 273.15, 1e-9, 1e-9) and
        close(b["P"], a["P"] / 1e5) and close(b["duty"], a["duty"] / 1e3, 1e-7, 1e-9) and
        close(b["apparent_heat_capacity"], a["apparent_heat_capacity"] / mw / 1e3, 1e-6)
        for a, b in zip(a_pts, b_pts)), "the curve converted")
    text = open(svg).read()
    check(all(u in text for u in ("temperature, °C", "heat removed from the inlet, kW",
                                  "viscosity, mPa s")), "the plot's axes in engineering units")
    header = next(csv.reader(open(csv_path)))
    check("T [°C]" in header and "duty [kW]" in header, f"the CSV header's units: {header[:4]}")

rc, out, _ = run("curve", "--help")
check(rc == 0 and all(u in out for u in ("engineering", "kg/h", "mN/m")), "--help documents units")

finish()
