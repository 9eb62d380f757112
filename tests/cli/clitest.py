"""Helpers shared by the command-line tests: run xif, check, report."""
import json
import subprocess
import sys
import tempfile

XIF = sys.argv[1] if len(sys.argv) > 1 else "xif"
_failures = []


def run(*args):
    """Runs xif; returns (exit code, stdout, stderr)."""
    p = subprocess.run([XIF, *map(str, args)], capture_output=True, text=True, timeout=600)
    return p.returncode, p.stdout, p.stderr


def run_json(*args):
    rc, out, err = run(*args, "--json")
    assert rc == 0, f"xif {' '.join(map(str, args))} failed ({rc}): {err}"
    return json.loads(out)


def check(condition, what):
    if not condition:
        _failures.append(what)
        print("FAIL:", what)


def close(a, b, rel=1e-9, abs_=0.0):
    return abs(a - b) <= max(rel * max(abs(a), abs(b)), abs_)


def tempdir():
    return tempfile.TemporaryDirectory(prefix="xif-cli-test-")


def finish():
    print(f"{len(_failures)} check(s) failed" if _failures else "all checks passed")
    sys.exit(1 if _failures else 0)
