"""Writes a generated resource, or with --check compares it with the committed one."""

import sys
from pathlib import Path

RESOURCES = Path(__file__).resolve().parents[2] / "resources"


def write_or_check(name, text, argv=None):
    target = RESOURCES / name
    if "--check" in (sys.argv[1:] if argv is None else argv):
        if target.read_text(encoding="utf-8") != text:
            print(f"{target} differs from what the generator writes", file=sys.stderr)
            return 1
        print(f"{target} matches the generator")
        return 0
    target.write_text(text, encoding="utf-8")
    return 0
