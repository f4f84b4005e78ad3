#!/usr/bin/env python3
"""Checks the results grid copied by run-questionnaire.sh: a header row, one row per question of
the sample with its number, title, the answer given (0 when none), its solution and "*" when
both agree, an empty row, then the number of right answers.
With --kept, checks the results file kept by "Enregistrer..." instead: its header names the
questions, and its one row holds the pupil, the score, the mark out of 20 and the answers given."""
import csv
import math
import sys


def mark_text(right: int, marked: int, scale: int = 20) -> str:
    """The mark rounded to the half point, halves up, with the decimal comma."""
    mark = math.floor(right * scale / marked / 0.5 + 0.5 + 1e-9) * 0.5
    return f"{mark:g}".replace(".", ",")


def questions(path: str):
    with open(path, "rb") as f:
        lines = f.read().decode("cp1252").replace("\r\n", "\n").split("\n")
    found = []
    for i, line in enumerate(lines):
        if line.startswith("<BLOC"):
            found.append((lines[i + 1][len("TITLE "):], lines[i + 8][len("REPONSE "):].strip()))
    return found


def right_count(sample: str, given):
    return sum(1 for n, (_, solution) in enumerate(questions(sample)) if n < len(given) and str(given[n]) == solution)


def check_kept(sample: str, kept: str, pupil: str, given) -> int:
    with open(kept, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter=";"))
    titles = questions(sample)
    header = ["Date", "Heure", "Nom", "Bonnes réponses", "Questions", "Note", "Barème", "Questions notées",
              "Passation", "Version", "Durée", "État", "Copie"]
    header += [f"{n}. {title}" for n, (title, _) in enumerate(titles, start=1)]
    answers = [str(a) for a in given] + [""] * (len(titles) - len(given))
    right = right_count(sample, given)
    # Every question of the sample has a right answer, so every one is marked.
    row = [pupil, str(right), str(len(titles)), mark_text(right, len(titles)), "20", str(len(titles)),
           "essai", "", "", "terminé", ""] + answers
    if len(rows) != 2 or rows[0] != header or rows[1][2:] != row:
        print(f"kept file: {rows!r}\nexpected the header {header!r} and a row ending {row!r}")
        return 1
    print(f"ok: the run of {pupil} was kept with {row[1]} right answers")
    return 0


def main() -> int:
    if sys.argv[1] == "--kept":
        return check_kept(sys.argv[2], sys.argv[3], sys.argv[4], [int(a) for a in sys.argv[5:]])
    sample, copied = sys.argv[1:3]
    given = [int(a) for a in sys.argv[3:]]
    with open(copied, encoding="utf-8") as f:
        rows = [line.split("\t") for line in f.read().split("\n") if line != ""]

    expected = [["", "Question", "Réponse", "Solution", ""]]
    right = 0
    for n, (title, solution) in enumerate(questions(sample), start=1):
        answer = given[n - 1] if n <= len(given) else 0
        mark = "*" if str(answer) == solution else ""
        right += 1 if mark else 0
        expected.append([str(n), title, str(answer), solution, mark])
    expected.append(["", "", "", "", ""])
    expected.append(["", "Nombre de bonnes réponses", str(right), "", ""])

    if rows != expected:
        for n, (a, b) in enumerate(zip(rows, expected)):
            if a != b:
                print(f"row {n}: copied {a!r}, expected {b!r}")
                break
        print(f"copied {len(rows)} rows, expected {len(expected)}")
        return 1
    print(f"ok: {len(rows) - 3} questions, {right} right answers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
