#!/usr/bin/env python3
"""Writes the scale catalogue (resources/scales.json) from one base row per class.

Every record follows from the scale on root 0 (or transposition 0) by three rules:
pitch classes and pitch map are transposed, and the neighbours come from the
tables below. Run with --check to compare against the committed file instead.
"""

import json
import sys

from resource_file import write_or_check

ROOT_KEYS = ["c", "cs", "d", "ds", "e", "f", "fs", "g", "gs", "a", "as", "b"]

ROOTED = {
    # class: (base pitch classes, base pitch map)
    "acoustic":       ([0, 2, 4, 6, 7, 9, 10], [0, 0, 2, 2, 4, 4, 6, 7, 7, 9, 10, 10]),
    "diatonic":       ([0, 2, 4, 5, 7, 9, 11], [0, 0, 2, 2, 4, 5, 5, 7, 7, 9, 9, 11]),
    "harmonic_major": ([0, 2, 4, 5, 7, 8, 11], [0, 0, 2, 4, 4, 5, 5, 7, 8, 8, 11, 11]),
    "harmonic_minor": ([0, 2, 3, 5, 7, 8, 11], [0, 0, 2, 3, 3, 5, 5, 7, 8, 8, 11, 11]),
}

LIMITED = {
    # class: (number of transpositions, base pitch classes, base pitch map)
    "octatonic":  (3, [0, 1, 3, 4, 6, 7, 9, 10], [0, 1, 3, 3, 4, 6, 6, 7, 9, 9, 10, 0]),
    "hexatonic":  (4, [0, 1, 4, 5, 8, 9], [0, 1, 1, 4, 4, 5, 5, 8, 8, 9, 9, 0]),
    "whole_tone": (2, [0, 2, 4, 6, 8, 10], [0, 0, 2, 2, 4, 4, 6, 6, 8, 8, 10, 10]),
}

# Neighbours of a rooted scale on root r, slot by slot: (class, interval above r).
ROOTED_NEIGHBOURS = {
    "acoustic":       [("diatonic", 7), ("harmonic_minor", 7), ("octatonic", 0),
                       ("diatonic", 5), ("harmonic_major", 2), ("whole_tone", 0)],
    "diatonic":       [("diatonic", 7), ("harmonic_minor", 9), ("acoustic", 5),
                       ("diatonic", 5), ("harmonic_major", 0), ("acoustic", 7)],
    "harmonic_major": [("diatonic", 0), ("harmonic_minor", 9), ("acoustic", 10),
                       ("octatonic", 1), ("harmonic_minor", 0), ("hexatonic", 3)],
    "harmonic_minor": [("diatonic", 3), ("harmonic_major", 0), ("acoustic", 5),
                       ("octatonic", 2), ("harmonic_major", 3), ("hexatonic", 3)],
}

# Neighbours of a collection with transposition index k: blocks of rooted scales
# (class, root offset) taken at every root r with r = k + offset (mod n).
LIMITED_NEIGHBOURS = {
    "octatonic":  [("acoustic", 0), ("harmonic_major", 2), ("harmonic_minor", 1)],
    "hexatonic":  [("harmonic_minor", 1), ("harmonic_major", 1)],
    "whole_tone": [("acoustic", 0)],
}


def scale_name(cls, root):
    if cls in LIMITED:
        return f"{cls}_{root % LIMITED[cls][0] + 1}"
    return f"{ROOT_KEYS[root % 12]}_{cls}"


def transpose(base_classes, base_map, r):
    classes = sorted((p + r) % 12 for p in base_classes)
    pitch_map = [(base_map[(p - r) % 12] + r) % 12 for p in range(12)]
    return classes, pitch_map


def record(name, root, cls, neighbours, classes, pitch_map):
    return {"name": name, "root": root, "adjacent_scales": neighbours,
            "pitch_classes": classes, "pitch_map": pitch_map, "scale_class": cls}


def build_catalogue():
    rooted = []
    for cls, (base_classes, base_map) in ROOTED.items():
        for r in range(12):
            classes, pitch_map = transpose(base_classes, base_map, r)
            neighbours = [scale_name(c, r + i) for c, i in ROOTED_NEIGHBOURS[cls]]
            rooted.append(record(scale_name(cls, r), r, cls, neighbours, classes, pitch_map))
    rooted.sort(key=lambda s: s["name"].encode())

    limited = []
    for cls, (n, base_classes, base_map) in LIMITED.items():
        for k in range(n):
            classes, pitch_map = transpose(base_classes, base_map, k)
            neighbours = [scale_name(c, r)
                          for c, offset in LIMITED_NEIGHBOURS[cls]
                          for r in range(12) if r % n == (k + offset) % n]
            limited.append(record(scale_name(cls, k), k, cls, neighbours, classes, pitch_map))

    return {"scales": rooted + limited}


def render(catalogue):
    return json.dumps(catalogue, indent=2, ensure_ascii=False)


def main():
    return write_or_check("scales.json", render(build_catalogue()))


if __name__ == "__main__":
    sys.exit(main())
