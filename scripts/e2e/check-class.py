#!/usr/bin/env python3
"""Checks the results file of the class run of run-class.sh: three rows, in the order the pupils
finished, each with the pupil's name, the score, the mark out of 20, "poste", a version, a
duration, "terminé" or "inachevé", and the answers given in the questionnaire's numbering."""
import csv
import os
import sys

from importlib.machinery import SourceFileLoader

here = os.path.dirname(os.path.abspath(__file__))
results = SourceFileLoader("check_results", os.path.join(here, "check-results.py")).load_module()

PUPILS = [("Léa Martin", [2, 3, 4], "terminé"),
          ("Noé Petit", [1] * 12, "terminé"),
          ("Zoé Durand", [2, 1], "inachevé")]


def main() -> int:
    sample, kept = sys.argv[1:3]
    titles = results.questions(sample)
    with open(kept, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter=";"))
    if len(rows) != 1 + len(PUPILS):
        print(f"expected {len(PUPILS)} runs, found {len(rows) - 1}: {rows!r}")
        return 1
    failures = 0
    for row, (pupil, given, state) in zip(rows[1:], PUPILS):
        right = results.right_count(sample, given)
        answers = [str(a) for a in given] + [""] * (len(titles) - len(given))
        expected = {2: pupil, 3: str(right), 4: str(len(titles)), 5: results.mark_text(right, len(titles)),
                    6: "20", 7: str(len(titles)), 8: "poste", 11: state}
        wrong = {k: (row[k], v) for k, v in expected.items() if row[k] != v}
        if wrong or row[13:] != answers or len(row[9]) != 16 or not row[10]:
            print(f"{pupil}: row {row!r}\n  differs at {wrong!r}, answers expected {answers!r}")
            failures += 1
    if failures == 0:
        print(f"ok: {len(PUPILS)} pupils kept with their marks, the last one unfinished")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
