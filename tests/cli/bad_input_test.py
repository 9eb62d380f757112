"""Bad input to flash and curve: a non-zero exit, a message naming the
fault on stderr, no crash, and no output file left behind (nor a temporary
one); an existing output file survives a failed run unchanged."""
import os

from clitest import check, finish, run, tempdir

OK_STREAM = ["--components", "C3H8,NC4", "--flows", "1,1"]
OK_RANGE = ["--T-in", 400, "--T-out", 300, "--P", 5e5]


def curve_case(args, expect):
    """Runs a curve asking for every output in a fresh directory."""
    with tempdir() as d:
        outs = ["--csv", os.path.join(d, "o.csv"), "--json", os.path.join(d, "o.json"), "--plot",
                os.path.join(d, "o.svg")]
        rc, out, err = run("curve", *args, *outs)
        label = " ".join(map(str, args))
        check(rc not in (0,) and rc > 0, f"[{label}] exits non-zero ({rc})")
        check(rc < 128, f"[{label}] does not crash ({rc})")
        check(expect.lower() in err.lower(), f"[{label}] says '{expect}': {err.strip()}")
        check(os.listdir(d) == [], f"[{label}] leaves no file: {os.listdir(d)}")


# Components and flows.
curve_case(["--components", "C3H8,FOO", "--flows", "1,1", *OK_RANGE], "unknown component 'FOO'")
curve_case(["--components", "", "--flows", "1", *OK_RANGE], "--components is empty")
curve_case(["--components", "C3H8,,NC4", "--flows", "1,1,1", *OK_RANGE], "entry 2")
curve_case(["--components", "C3H8,NC4,", "--flows", "1,1", *OK_RANGE], "is empty")
curve_case(["--components", "C3H8,C3H8", "--flows", "1,1", *OK_RANGE], "given twice")
curve_case(["--components", "C3H8,NC4", "--flows", "1", *OK_RANGE], "1 flows for 2 components")
curve_case(["--components", "C3H8,NC4", "--flows", "1,1,1", *OK_RANGE], "3 flows for 2")
curve_case(["--components", "C3H8,NC4", "--flows", "1;1", *OK_RANGE], "1 flows for 2")
curve_case(["--components", "C3H8,NC4", "--flows", "1,abc", *OK_RANGE], "'abc' is not a number")
curve_case(["--components", "C3H8,NC4", "--flows", "1,-0.5", *OK_RANGE], "negative")
curve_case(["--components", "C3H8,NC4", "--flows", "1,nan", *OK_RANGE], "not a finite number")
curve_case(["--components", "C3H8,NC4", "--flows", "inf,1", *OK_RANGE], "not a finite number")
curve_case(["--components", "C3H8,NC4", "--flows", "0,0", *OK_RANGE], "no flow")
curve_case(["--components", "C3H8,NC4", *OK_RANGE], "--flows and --mass-flows")
curve_case([*OK_STREAM, "--mass-flows", "1,1", *OK_RANGE], "--flows and --mass-flows")
curve_case([*OK_STREAM, "--noncondensables", "N2", *OK_RANGE], "not one of the components")
curve_case([*OK_STREAM, "--method", "xyz", *OK_RANGE], "--method")
curve_case([*OK_STREAM, "--units", "imperial", *OK_RANGE], "--units")

# States and points.
curve_case([*OK_STREAM, "--T-in", "nan", "--T-out", 300, "--P", 5e5], "--T-in")
curve_case([*OK_STREAM, "--T-in", 400, "--T-out", -10, "--P", 5e5], "--T-out")
curve_case([*OK_STREAM, "--T-in", 400, "--T-out", 300, "--P", 0], "--P must be above 0")
curve_case([*OK_STREAM, "--T-in", 400, "--T-out", 300, "--P", "-inf"], "--P")
curve_case([*OK_STREAM, *OK_RANGE, "--P-out", "nan"], "--P-out")
curve_case([*OK_STREAM, *OK_RANGE, "--points", 1], "--points must be 2 to 10000")
curve_case([*OK_STREAM, *OK_RANGE, "--points", 0], "--points")
curve_case([*OK_STREAM, *OK_RANGE, "--points", 10001], "--points")
curve_case([*OK_STREAM, *OK_RANGE, "--points", "many"], "--points")
curve_case([*OK_STREAM, "--T-in", 400, "--P", 5e5], "--T-out")
# Outputs are opened before the work: a state the host refuses fails after
# that, and must still leave nothing.
curve_case([*OK_STREAM, "--T-in", 5, "--T-out", 300, "--P", 5e5], "inlet state")

# Unwritable outputs: a missing directory, a directory, an empty name.
with tempdir() as d:
    for path, expect in ((os.path.join(d, "missing", "o.csv"), "cannot write"),
                         (d, "is a directory"), ("", "empty")):
        for option in ("--csv", "--json", "--plot"):
            if option == "--json" and path == "":
                continue  # --json without a file name prints to stdout
            rc, _, err = run("curve", *OK_STREAM, *OK_RANGE, option, path)
            check(rc != 0 and expect in err, f"{option} '{path}': {rc} {err.strip()}")
    check(os.listdir(d) == [], "nothing written beside the unwritable paths")

# A failed run leaves an older output file as it was.
with tempdir() as d:
    old = os.path.join(d, "o.csv")
    with open(old, "w") as f:
        f.write("older results\n")
    rc, _, _ = run("curve", *OK_STREAM, "--T-in", 400, "--T-out", 300, "--P", 5e5, "--points", 1,
                   "--csv", old)
    with open(old) as f:
        check(rc != 0 and f.read() == "older results\n", "the older file is unchanged")
    check(os.listdir(d) == ["o.csv"], "and no temporary file is left")

# Flash: the same stream checks, and its own state checks.
for args, expect in (
    (["--components", "XX", "--flows", "1", "--T", 300, "--P", 1e5], "unknown component"),
    (["--components", "C3H8", "--flows", "1,2", "--T", 300, "--P", 1e5], "2 flows for 1"),
    ([*OK_STREAM, "--T", 300], "exactly two"),
    ([*OK_STREAM, "--T", 300, "--P", 1e5, "--vf", 0.5], "exactly two"),
    ([*OK_STREAM, "--T", "nan", "--P", 1e5], "finite"),
    ([*OK_STREAM, "--T", -1, "--P", 1e5], "--T"),
    ([*OK_STREAM, "--T", 300, "--P", -1], "--P"),
    ([*OK_STREAM, "--P", 1e5, "--vf", 1.5], "--vf"),
    ([*OK_STREAM, "--H", 1, "--vf", 0.5], "pair"),
):
    rc, _, err = run("flash", *args)
    check(0 < rc < 128 and expect in err, f"flash {args}: {rc} {err.strip()}")

# A flash that fails says why, exits 3 and shows no table of a state it never
# reached; with --json it prints the failure as an object.
water_at_200K = ["--components", "WATER", "--flows", "1", "--T", 200, "--vf", 0.5]
rc, out, err = run("flash", *water_at_200K)
check(rc == 3 and "no solution" in err and out == "", f"failed flash: {rc} {out!r} {err.strip()}")
rc, out, err = run("flash", *water_at_200K, "--json")
check(rc == 3 and '"flash_status": 4' in out and '"failed"' in out, f"failed flash, json: {out!r}")

finish()
