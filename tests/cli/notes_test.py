"""Notes on stderr and in the JSON: a liquid below the melting point of a
component that makes up half of it or more (a dissolved one is not), and two
liquids split along a pair without an interaction parameter."""
from clitest import check, finish, run, run_json

# Liquid methane at 16 K, far below its melting point; at 100 K none.
rc, _, err = run("flash", "--components", "CH4", "--flows", 1, "--T", 16, "--P", 1e6)
check(rc == 0 and "note: the liquid at 16 K is below the melting point of CH4 (90.75 K)" in err,
      f"methane at 16 K: {rc} {err.strip()}")
j = run_json("flash", "--components", "CH4", "--flows", 1, "--T", 16, "--P", 1e6)
check(len(j["notes"]) == 1 and "100 %" in j["notes"][0], f"JSON notes: {j['notes']}")
for T in (100, 300):
    j = run_json("flash", "--components", "CH4", "--flows", 1, "--T", T, "--P", 1e6)
    check(j["notes"] == [], f"methane at {T} K: {j['notes']}")

# Benzene a tenth of a methane liquid at 100 K: dissolved, though 180 K below
# its own melting point. As the liquid's bulk it is named.
j = run_json("flash", "--components", "CH4,BENZENE", "--flows", "0.9,0.1", "--T", 100, "--P", 1e6)
check(j["phases"]["total_liquid"]["fraction"] == 1 and j["notes"] == [],
      f"dissolved benzene: {j['notes']}")
j = run_json("flash", "--components", "CH4,BENZENE", "--flows", "0.1,0.9", "--T", 250, "--P", 1e6)
check(len(j["notes"]) == 1 and "BENZENE" in j["notes"][0], f"benzene liquid: {j['notes']}")

# Two liquids go by name, in the engineering units' temperatures.
j = run_json("flash", "--components", "WATER,NC6", "--flows", "1,1", "--T", -20, "--P", 1,
             "--units", "engineering", "--three-phase")
water = next(k for k in ("liquid1", "liquid2") if j["phases"][k]["composition"]["WATER"] > 0.5)
check(j["notes"] == [f"{water} at -20 °C is below the melting point of WATER (0 °C), which "
                     "makes up 100 % of it: it may be solid, and its properties are the liquid "
                     "correlations taken beyond their range"], f"ice: {j['notes']}")

# A curve counts the points and gives the coldest, once per liquid and component.
rc, _, err = run("curve", "--components", "CH4,C2H6", "--flows", "0.9,0.1", "--T-in", 200,
                 "--T-out", 60, "--P", 2e6, "--points", 15)
notes = [line for line in err.splitlines() if "note:" in line]
check(rc == 0 and len(notes) == 1 and "CH4" in notes[0] and "down to 60 K" in notes[0],
      f"curve: {rc} {notes}")
rc, out, _ = run("curve", "--components", "CH4,C2H6", "--flows", "0.9,0.1", "--T-in", 200,
                 "--T-out", 100, "--P", 2e6, "--json")
check(rc == 0 and '"notes": []' in out, "a curve above the melting points has no notes")

# Two liquids of a pair the databank has no interaction parameter for are named
# (n-propanol and water mix in all proportions); water with hexane, whose
# parameter the databank has, is not; one liquid allowed, nothing is split.
j = run_json("flash", "--components", "NPROH,WATER", "--flows", "0.2,0.8", "--T", 298.15, "--P",
             1e5, "--three-phase")
check(j["phases"]["liquid1"]["fraction"] > 0 and len(j["notes"]) == 1 and
      "mostly NPROH and liquid2 mostly WATER" in j["notes"][0], f"propanol/water: {j['notes']}")
for args in (["NC6,WATER", "--three-phase"], ["NPROH,WATER"]):
    j = run_json("flash", "--components", args[0], "--flows", "0.2,0.8", "--T", 298.15, "--P", 1e5,
                 *args[1:])
    check(j["notes"] == [], f"{args}: {j['notes']}")
rc, _, err = run("curve", "--components", "NPROH,WATER", "--flows", "0.2,0.8", "--T-in", 300,
                 "--T-out", 290, "--P", 1e5, "--points", 3, "--three-phase")
check(rc == 0 and "mostly NPROH and liquid2 mostly WATER, a pair" in err and
      "at 3 of 3 points" in err, f"curve: {rc} {err.strip()}")

# A parameter given for the pair mixes them, and the pair is no longer noted;
# ethanol and water, whose parameter the databank now has, are one liquid.
for args in (["NPROH,WATER", "--kij", "water:nproh=-0.17"], ["ETOH,WATER"]):
    j = run_json("flash", "--components", args[0], "--flows", "0.2,0.8", "--T", 298.15, "--P", 1e5,
                 "--three-phase", *args[1:])
    check(j["phases"]["liquid1"]["fraction"] == 0 and j["notes"] == [],
          f"{args}: {j['phases']['liquid1']['fraction']} {j['notes']}")
rc, _, err = run("curve", "--components", "NPROH,WATER", "--flows", "0.2,0.8", "--T-in", 300,
                 "--T-out", 290, "--P", 1e5, "--points", 3, "--three-phase", "--kij",
                 "NPROH:WATER=-0.17")
check(rc == 0 and "note:" not in err, f"curve with --kij: {rc} {err.strip()}")

# xif pairs lists each pair's parameter and whether the databank has one.
rc, out, _ = run("pairs", "--components", "water,ETOH,NPROH,CH4")
rows = {tuple(line.split()[:2]): line.split()[2:] for line in out.splitlines()[1:]}
check(rc == 0 and len(rows) == 6 and rows[("WATER", "ETOH")] == ["-0.1100", "databank"] and
      rows[("WATER", "CH4")] == ["0.4850", "databank"] and
      rows[("WATER", "NPROH")][:2] == ["0.0000", "none:"], f"pairs: {rc} {out}")
for args, expect in ((["WATER"], "two components"), (["WATER,WATER"], "twice"),
                     (["WATER,XX"], "unknown component"), (["WATER,ETOH", "--method", "x"], "pr or srk")):
    rc, out, err = run("pairs", "--components", *args)
    check(rc == 2 and expect in err and out == "", f"pairs {args}: {rc} {err.strip()}")

finish()
