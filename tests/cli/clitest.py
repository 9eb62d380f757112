"""Small helpers shared by the command-line tests: run xif, check, report."""
import json
import os
import subprocess
import sys
import tempfile

XIF = sys.argv[1] if len(sys.argv) > 1 else "xif"
_failures = []


def run(*args, cwd=None):
    """Runs xif; returns (exit code, stdout, stderr)."""
    p = subprocess.run([XIF, *map(str, args)], capture_output=True, text=True, cwd=cwd,
                       timeout=600)
    return p.returncode, p.stdout, p.stderr


def run_json(*args):
    rc, out, err = run(*args)
    if rc != 0:
        raise AssertionError(f"xif {' '.join(map(str, args))} failed ({rc}): {err}")
    return json.loads(out)


def check(condition, what):
    if not condition:
        _failures.append(what)
        print("FAIL:", what)


def close(a, b, rel=1e-9, abs_=0.0):
    return abs(a - b) <= max(rel * max(abs(a), abs(b)), abs_)


def tempdir():
    return tempfile.TemporaryDirectory(prefix="xif-cli-test-")


def component_mw(ids):
    """Molecular weights in full precision, by id: the whole-stream value of
    a flash of the pure component."""
    return {i: run_json("flash", "--components", i, "--flows", 1, "--T", 300, "--P", 1e5,
                        "--json")["phases"]["whole"]["molecular_weight"] for i in ids}


def finish():
    if _failures:
        print(f"{len(_failures)} check(s) failed")
        sys.exit(1)
    print("all checks passed")
    sys.exit(0)
