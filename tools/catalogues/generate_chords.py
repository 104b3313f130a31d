#!/usr/bin/env python3
"""Writes the chord catalogue (resources/chords.json) from the table of chord types.

Every chord type exists on all twelve roots. An entry's property name is the root
key followed by the type's text ("a_13#9-110"); its pitch classes are the type's
pitch classes on C moved up to the root. The plug-in reads "chord_type",
"prime_form_kinda" and "root" only; "scale_supersets" is kept, always empty, and
the voicings nothing reads are left out. Run with --check to compare against the
committed file instead.
"""

import json
import sys

from resource_file import write_or_check

ROOT_KEYS = ["c", "cs", "d", "ds", "e", "f", "fs", "g", "gs", "a", "as", "b"]

# Chord types by number: (symbol, pitch classes on C). Sharps are written "#",
# flats "♭". A type's text is "_" + symbol + "-" + number; the number tells apart
# types that share a symbol. Types whose pitch classes lack 0 are rootless voicings.
CHORD_TYPES = [
    ("M7",                [0, 4, 7, 11]),           # 0
    ("M7(add6)",          [0, 4, 9, 11]),           # 1
    ("M9",                [0, 2, 4, 7, 11]),        # 2
    ("M7(add6/9)",        [0, 2, 4, 9, 11]),        # 3
    ("6",                 [0, 4, 7, 9]),            # 4
    ("6/9",               [0, 2, 4, 7, 9]),         # 5
    ("m6",                [0, 3, 7, 9]),            # 6
    ("m6",                [0, 3, 7, 9]),            # 7
    ("m6/9",              [0, 2, 3, 7, 9]),         # 8
    ("m6/9",              [0, 2, 3, 7, 9]),         # 9
    ("m(Maj7)",           [0, 3, 7, 11]),           # 10
    ("m(Maj7)",           [0, 3, 7, 11]),           # 11
    ("m(add9)(Maj7)",     [0, 2, 3, 7, 11]),        # 12
    ("m7",                [0, 3, 7, 10]),           # 13
    ("m7",                [0, 3, 7, 10]),           # 14
    ("m9",                [0, 2, 3, 7, 10]),        # 15
    ("m11",               [0, 3, 5, 10]),           # 16
    ("7",                 [0, 4, 7, 10]),           # 17
    ("13",                [0, 4, 9, 10]),           # 18
    ("9",                 [0, 2, 4, 7, 10]),        # 19
    ("13",                [0, 2, 4, 9, 10]),        # 20
    ("dim",               [0, 3, 6, 9]),            # 21
    ("M7#11",             [0, 4, 6, 11]),           # 22
    ("M7(add#11/6)",      [0, 4, 6, 9, 11]),        # 23
    ("M7(add#11)",        [0, 2, 4, 6, 11]),        # 24
    ("m7♭5",              [0, 3, 6, 10]),           # 25
    ("m7♭5",              [0, 3, 6, 10]),           # 26
    ("7#5",               [0, 4, 8, 10]),           # 27
    ("9#5",               [0, 2, 4, 8, 10]),        # 28
    ("7♭5",               [0, 4, 6, 10]),           # 29
    ("9♭5",               [0, 2, 4, 6, 10]),        # 30
    ("13♭5",              [0, 4, 6, 9, 10]),        # 31
    ("7♭9",               [0, 1, 4, 7, 10]),        # 32
    ("13♭5",              [0, 1, 4, 9, 10]),        # 33
    ("7#5(♭9)",           [0, 1, 4, 8, 10]),        # 34
    ("7#9",               [0, 3, 4, 7, 10]),        # 35
    ("7#5(#9)",           [0, 3, 4, 8, 10]),        # 36
    ("dim",               [0, 3, 8, 9]),            # 37
    ("dim",               [0, 3, 6, 9, 11]),        # 38
    ("M7",                [0, 4, 7, 11]),           # 39
    ("M9",                [0, 2, 4, 7, 11]),        # 40
    ("M9(add6)",          [0, 2, 4, 9, 11]),        # 41
    ("6/9",               [0, 2, 4, 7, 9]),         # 42
    ("m6/9",              [0, 2, 3, 7, 9]),         # 43
    ("m(Maj7)",           [0, 3, 7, 11]),           # 44
    ("m(add9)(Maj7)",     [0, 2, 3, 7, 11]),        # 45
    ("m7",                [0, 3, 7, 10]),           # 46
    ("m7",                [0, 3, 7, 10]),           # 47
    ("m9",                [0, 2, 3, 7, 10]),        # 48
    ("m11",               [0, 2, 3, 5, 10]),        # 49
    ("m11",               [0, 3, 5, 7, 10]),        # 50
    ("7",                 [0, 4, 7, 10]),           # 51
    ("9",                 [0, 2, 4, 7, 10]),        # 52
    ("13",                [0, 2, 4, 9, 10]),        # 53
    ("dim",               [0, 3, 6, 9]),            # 54
    ("M7#11",             [0, 2, 4, 6, 11]),        # 55
    ("M7(add#11/6)",      [0, 2, 4, 6, 9, 11]),     # 56
    ("m7♭5",              [0, 3, 6, 10]),           # 57
    ("m7♭5",              [0, 3, 6, 10]),           # 58
    ("9#5",               [0, 2, 4, 8, 10]),        # 59
    ("9♭5",               [0, 2, 4, 6, 10]),        # 60
    ("13♭5",              [0, 2, 4, 6, 9, 10]),     # 61
    ("7♭9",               [0, 1, 4, 7, 10]),        # 62
    ("13♭9",              [0, 1, 4, 9, 10]),        # 63
    ("7#5(♭9)",           [0, 1, 4, 8, 10]),        # 64
    ("7♭9(♭5)",           [0, 1, 4, 6, 10]),        # 65
    ("13♭5(♭9)",          [0, 1, 4, 6, 9, 10]),     # 66
    ("7#9",               [0, 3, 4, 10]),           # 67
    ("7#9",               [0, 3, 4, 7, 10]),        # 68
    ("7#5(#9)",           [0, 3, 4, 8, 10]),        # 69
    ("dim",               [0, 2, 3, 6, 9]),         # 70
    ("6/9",               [0, 2, 4, 7, 9]),         # 71
    ("M9(add6)",          [2, 4, 7, 9, 11]),        # 72
    ("m6/9",              [0, 2, 3, 7, 9]),         # 73
    ("m6(Maj7)",          [2, 3, 7, 9, 11]),        # 74
    ("m7",                [0, 3, 7, 10]),           # 75
    ("m9",                [0, 2, 3, 7, 10]),        # 76
    ("m11",               [0, 2, 3, 5, 7, 10]),     # 77
    ("9",                 [0, 2, 4, 7, 10]),        # 78
    ("13",                [0, 2, 4, 9, 10]),        # 79
    ("dim",               [0, 3, 6, 9]),            # 80
    ("m7♭5",              [0, 3, 6, 10]),           # 81
    ("m♭5",               [0, 5, 6, 10]),           # 82
    ("9#5",               [0, 2, 4, 8, 10]),        # 83
    ("9♭5",               [0, 2, 4, 6, 10]),        # 84
    ("13♭5",              [2, 4, 6, 9, 10]),        # 85
    ("7♭9",               [0, 1, 4, 7, 10]),        # 86
    ("13♭9",              [0, 1, 4, 9, 10]),        # 87
    ("7#5(♭9)",           [0, 1, 4, 8, 10]),        # 88
    ("7#9",               [0, 3, 4, 7, 10]),        # 89
    ("7#5(#9)",           [0, 3, 4, 8, 10]),        # 90
    ("7 alt.",            [1, 3, 4, 8, 10]),        # 91
    ("dim",               [0, 3, 6, 9, 11]),        # 92
    ("M9(add6)",          [2, 4, 7, 9, 11]),        # 93
    ("m9(add6)",          [2, 3, 7, 9]),            # 94
    ("m6/9(Maj7)",        [2, 3, 7, 9, 11]),        # 95
    ("m7",                [0, 3, 7, 10]),           # 96
    ("m9",                [2, 3, 7, 10]),           # 97
    ("m11",               [0, 3, 5, 7, 10]),        # 98
    ("9/11",              [2, 3, 5, 7, 10]),        # 99
    ("13",                [2, 4, 7, 9, 10]),        # 100
    ("13",                [0, 2, 4, 7, 9, 10]),     # 101
    ("dim",               [0, 3, 6, 9]),            # 102
    ("m7♭5",              [0, 3, 6, 10]),           # 103
    ("m11♭5",             [0, 3, 5, 6, 10]),        # 104
    ("7#5",               [0, 4, 8, 10]),           # 105
    ("13♭5",              [2, 4, 6, 9, 10]),        # 106
    ("7♭9",               [1, 4, 7, 10]),           # 107
    ("13♭9",              [1, 4, 7, 9, 10]),        # 108
    ("7#9",               [0, 3, 4, 7, 10]),        # 109
    ("13#9",              [0, 3, 4, 9, 10]),        # 110
    ("7#5(#9)",           [0, 3, 4, 8, 10]),        # 111
    ("9#5(♭5)",           [2, 4, 6, 8, 10]),        # 112
    ("dim",               [0, 3, 6, 8, 9]),         # 113
]


def chord_type_text(number):
    return f"_{CHORD_TYPES[number][0]}-{number}"


def build_catalogue():
    entries = {}
    for number, (_, base_classes) in enumerate(CHORD_TYPES):
        text = chord_type_text(number)
        for root, root_key in enumerate(ROOT_KEYS):
            entries[root_key + text] = {
                "chord_type": text,
                "prime_form_kinda": sorted({(p + root) % 12 for p in base_classes}),
                "root": root,
                "scale_supersets": [],
            }
    # The plug-in's index keeps the order of the text, and the first entry of a
    # pitch-class set wins a lookup, so the order is part of the content.
    return dict(sorted(entries.items(), key=lambda item: item[0].encode()))


def render(catalogue):
    # One entry per line: small enough to ship, still readable in a diff.
    lines = [f"  {json.dumps(name, ensure_ascii=False)}: "
             f"{json.dumps(entry, ensure_ascii=False, sort_keys=True)}"
             for name, entry in catalogue.items()]
    return "{\n" + ",\n".join(lines) + "\n}\n"


def main():
    return write_or_check("chords.json", render(build_catalogue()))


if __name__ == "__main__":
    sys.exit(main())
