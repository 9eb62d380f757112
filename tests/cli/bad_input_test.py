"""Bad input to flash and curve: a non-zero exit, a message naming the fault,
no crash, no output file (nor a temporary one); an older output survives."""
import os

from clitest import check, finish, run, tempdir

S = ["--components", "C3H8,NC4", "--flows", "1,1"]
R = ["--T-in", 400, "--T-out", 300, "--P", 5e5]


def stream(flows, ids="C3H8,NC4"):
    return ["--components", ids, "--flows", flows]


# Curve with every output asked for: (arguments, what stderr says).
for args, expect in (
    (stream("1,1", "C3H8,FOO") + R, "unknown component 'FOO'"),
    (stream("1,1", "C3H8,NC4H10") + R, "did you mean NC4 or IC4?"),
    (stream("1", "") + R, "--components is empty"),
    (stream("1,1,1", "C3H8,,NC4") + R, "entry 2"),
    (stream("1,1", "C3H8,NC4,") + R, "is empty"),
    (stream("1,1", "C3H8,C3H8") + R, "given twice"),
    (stream("1") + R, "1 flows for 2 components"),
    (stream("1,1,1") + R, "3 flows for 2"),
    (stream("1,abc") + R, "'abc' is not a number"),
    (stream("1,-0.5") + R, "negative"),
    (stream("1,nan") + R, "not a finite number"),
    (stream("0,0") + R, "no flow"),
    (["--components", "C3H8,NC4", *R], "--flows and --mass-flows"),
    ([*S, "--mass-flows", "1,1", *R], "--flows and --mass-flows"),
    ([*S, "--noncondensables", "N2", *R], "not one of the components"),
    ([*S, "--method", "xyz", *R], "--method"),
    ([*S, "--units", "imperial", *R], "--units"),
    ([*S, "--T-in", "nan", "--T-out", 300, "--P", 5e5], "--T-in"),
    ([*S, "--T-in", 400, "--T-out", -10, "--P", 5e5], "--T-out"),
    ([*S, "--T-in", 400, "--T-out", 300, "--P", 0], "--P must be above 0"),
    ([*S, *R, "--P-out", "nan"], "--P-out"),
    ([*S, *R, "--points", 1], "--points must be 2 to 10000"),
    ([*S, *R, "--points", 10001], "--points"),
    ([*S, *R, "--points", "many"], "--points"),
    ([*S, "--T-in", 400, "--P", 5e5], "--T-out"),
    # Outputs are opened first: a state the host refuses fails after that.
    ([*S, "--T-in", 5, "--T-out", 300, "--P", 5e5], "inlet state"),
):
    with tempdir() as d:
        outs = [x for e in ("csv", "json", "plot") for x in (f"--{e}", os.path.join(d, "o." + e))]
        rc, _, err = run("curve", *args, *outs)
        label = " ".join(map(str, args))
        check(0 < rc < 128 and expect.lower() in err.lower(), f"[{label}] {rc}: {err.strip()}")
        check(os.listdir(d) == [], f"[{label}] leaves no file: {os.listdir(d)}")

# Unwritable outputs (--json without a name prints to stdout), and a failed
# run leaves an older output as it was, with no temporary beside it.
with tempdir() as d:
    for path, expect in ((os.path.join(d, "missing", "o.csv"), "cannot write"),
                         (d, "is a directory"), ("", "empty")):
        for option in ("--csv", "--json", "--plot") if path else ("--csv", "--plot"):
            rc, _, err = run("curve", *S, *R, option, path)
            check(rc != 0 and expect in err, f"{option} '{path}': {rc} {err.strip()}")
    check(os.listdir(d) == [], "nothing written beside the unwritable paths")
    old = os.path.join(d, "o.csv")
    with open(old, "w") as f:
        f.write("older results\n")
    rc, _, _ = run("curve", *S, *R, "--points", 1, "--csv", old)
    check(rc != 0 and open(old).read() == "older results\n" and os.listdir(d) == ["o.csv"],
          "a failed run leaves the older file and no temporary")

# Flash: the stream checks, and its own state checks.
for args, expect in (
    (stream("1", "XX") + ["--T", 300, "--P", 1e5], "unknown component"),
    (stream("1,2", "C3H8") + ["--T", 300, "--P", 1e5], "2 flows for 1"),
    ([*S, "--T", 300], "exactly two"),
    ([*S, "--T", 300, "--P", 1e5, "--vf", 0.5], "exactly two"),
    ([*S, "--T", "nan", "--P", 1e5], "finite"),
    ([*S, "--T", -1, "--P", 1e5], "--T"),
    ([*S, "--T", 300, "--P", -1], "--P"),
    ([*S, "--P", 1e5, "--vf", 1.5], "--vf"),
    ([*S, "--H", 1, "--vf", 0.5], "pair"),
    ([*S, "--T", 300, "--P", 1e5, "--kij", "C3H8-NC4=0.1"], "A:B=value"),
    ([*S, "--T", 300, "--P", 1e5, "--kij", "C3H8:C3H8=0.1"], "itself"),
    ([*S, "--T", 300, "--P", 1e5, "--kij", "C3H8:WATER=0.1"], "not one of the components"),
    ([*S, "--T", 300, "--P", 1e5, "--kij", "C3H8:NC4=1.5"], "between -1 and 1"),
    ([*S, "--T", 300, "--P", 1e5, "--kij", "C3H8:NC4=nan"], "--kij"),
    ([*S, "--T", 300, "--P", 1e5, "--kij", "C3H8:NC4=0,NC4:C3H8=0.1"], "twice"),
):
    rc, _, err = run("flash", *args)
    check(0 < rc < 128 and expect in err, f"flash {args}: {rc} {err.strip()}")

# A flash that fails says why and exits 3, with no table of a state it never
# reached; with --json it prints the failure as an object.
water_at_200K = stream(1, "WATER") + ["--T", 200, "--vf", 0.5]
rc, out, err = run("flash", *water_at_200K)
check(rc == 3 and "no solution" in err and out == "", f"failed flash: {rc} {out!r} {err.strip()}")
rc, out, err = run("flash", *water_at_200K, "--json")
check(rc == 3 and '"flash_status": 4' in out and '"failed"' in out, f"failed flash, json: {out!r}")
# Sulphur dioxide, water and nonane at 167 K are three liquids: more than it holds.
three_liquids = ["--components", "SO2,WATER,NC9", "--flows", "0.0157,0.238,0.0174",
                 "--T", 167, "--P", 35445, "--three-phase"]
rc, out, err = run("flash", *three_liquids)
check(rc == 3 and "more phases than the flash holds" in err and out == "",
      f"three liquids: {rc} {out!r} {err.strip()}")

finish()
