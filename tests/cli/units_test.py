"""Engineering units: a flash or a curve in engineering units is the SI one
converted (°C, bar, kg/h, per kg, mPa s, mN/m, kW), and mass flows in SI are
the molar flows times the molecular weights."""
from clitest import check, close, component_mw, finish, run, run_json

IDS = ["C3H8", "NC4", "NC6"]
KMOL_S = [0.01, 0.02, 0.005]
MW = component_mw(IDS)
T, P = 330.0, 5e5  # two phases

si_stream = ["--components", ",".join(IDS), "--flows", ",".join(map(str, KMOL_S))]
kg_h = [f * MW[i] * 3600 for f, i in zip(KMOL_S, IDS)]
eng_stream = ["--components", ",".join(IDS), "--flows", ",".join(f"{v:.15g}" for v in kg_h),
              "--units", "engineering"]

si = run_json("flash", *si_stream, "--T", T, "--P", P, "--json")
eng = run_json("flash", *eng_stream, "--T", T - 273.15, "--P", P / 1e5, "--json")
check(si["units"] == "si" and eng["units"] == "engineering", "the JSON names its units")
check(0 < si["vapour_fraction"] < 1, "the state has two phases")
check(close(eng["vapour_fraction"], si["vapour_fraction"], 1e-9), "the same flash")
check(close(eng["T"], T - 273.15, 1e-12) and close(eng["P"], P / 1e5, 1e-12), "T in °C, P in bar")

# Per-phase conversions, phase by phase, against the SI values and the
# phase's own molecular weight.
per_kg = ("enthalpy", "heat_capacity", "entropy", "heat_of_vaporization")
factor = {"viscosity": 1e3, "surface_tension": 1e3, "enthalpy_flow": 1e-3, "density": 1.0,
          "thermal_conductivity": 1.0, "molecular_weight": 1.0, "fraction": 1.0,
          "diffusivity": 1.0}
checked = 0
for name, s_phase in si["phases"].items():
    e_phase = eng["phases"][name]
    mw = s_phase["molecular_weight"]
    for key, s_value in s_phase.items():
        if key == "composition" or s_value is None:
            continue
        e_value = e_phase[key]
        if key in per_kg:
            expect = s_value / mw / 1000
        elif key == "molar_volume":
            expect = s_value / mw
        elif key == "critical_temperature":
            expect = s_value - 273.15
        elif key == "critical_pressure":
            expect = s_value / 1e5
        else:
            expect = s_value * factor[key]
        check(e_value is not None and close(e_value, expect, 1e-8, 1e-15),
              f"{name}.{key}: {e_value} vs {expect}")
        checked += 1
    for c, x in s_phase["composition"].items():
        check(x is None or close(e_phase["composition"][c], x, 1e-9, 1e-15),
              f"{name} composition stays molar")
check(checked > 30, f"enough values compared ({checked})")

# Mass flows: kg/s in SI, kg/h in engineering units, both the same stream.
kg_s = ",".join(f"{f * MW[i]:.15g}" for f, i in zip(KMOL_S, IDS))
mass = run_json("flash", "--components", ",".join(IDS), "--mass-flows", kg_s, "--T", T, "--P", P,
                "--json")
check(close(mass["phases"]["whole"]["enthalpy_flow"], si["phases"]["whole"]["enthalpy_flow"],
            1e-9), "--mass-flows kg/s is the same stream as --flows kmol/s")
mass_eng = run_json("flash", "--components", ",".join(IDS), "--mass-flows",
                    ",".join(f"{v:.15g}" for v in kg_h), "--units", "engineering", "--T",
                    T - 273.15, "--P", P / 1e5, "--json")
check(close(mass_eng["phases"]["whole"]["enthalpy_flow"], eng["phases"]["whole"]["enthalpy_flow"],
            1e-9), "--mass-flows kg/h in engineering units")

# An enthalpy specification in kJ/kg.
h_si = si["phases"]["whole"]["enthalpy"]
h_eng = eng["phases"]["whole"]["enthalpy"]
back = run_json("flash", *eng_stream, "--P", P / 1e5, "--H", f"{h_eng:.15g}", "--json")
check(close(back["T"], T - 273.15, 0, 1e-5), f"P-H flash in kJ/kg returns to {T - 273.15} °C")
back_si = run_json("flash", *si_stream, "--P", P, "--H", f"{h_si:.15g}", "--json")
check(close(back_si["T"], T, 0, 1e-5), "P-H flash in J/kmol returns to T")

# The table names the engineering units.
rc, table, _ = run("flash", *eng_stream, "--T", 50, "--P", 5)
check(rc == 0 and "°C" in table and "kJ/kg" in table and "mPa s" in table and "kW" in table,
      "the flash table shows engineering units")

# A curve: duty in kW, apparent heat capacity per kg of stream.
curve_si = run_json("curve", *si_stream, "--T-in", 380, "--T-out", 300, "--P", P, "--points", 6,
                    "--json")
curve_eng = run_json("curve", *eng_stream, "--T-in", 380 - 273.15, "--T-out", 300 - 273.15,
                     "--P", P / 1e5, "--points", 6, "--json")
mw_stream = sum(f * MW[i] for f, i in zip(KMOL_S, IDS)) / sum(KMOL_S)
check(len(curve_si["points"]) == len(curve_eng["points"]), "the same curve points")
for a, b in zip(curve_si["points"], curve_eng["points"]):
    check(a["kind"] == b["kind"], "the same kinds of point")
    check(close(b["T"], a["T"] - 273.15, 1e-9, 1e-9), "curve T in °C")
    check(close(b["P"], a["P"] / 1e5, 1e-9), "curve P in bar")
    check(close(b["duty"], a["duty"] / 1e3, 1e-7, 1e-9), "curve duty in kW")
    check(close(b["apparent_heat_capacity"], a["apparent_heat_capacity"] / mw_stream / 1e3, 1e-6),
          "apparent heat capacity in kJ/(kg K)")

# --help documents both unit systems.
rc, out, _ = run("curve", "--help")
check(rc == 0 and "engineering" in out and "kg/h" in out and "mN/m" in out,
      "curve --help documents the units")

finish()
