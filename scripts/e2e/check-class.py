#!/usr/bin/env python3
"""Checks what the class run of run-class.sh left in its folder. The results file: three rows, in
the order the pupils finished, each with the pupil's name, the score, the mark out of 20,
"poste", a version, a duration, "terminé" or "inachevé", and the answers given in the
questionnaire's numbering. The statistics' two tables as Ctrl+C copied them: per question the
finished runs' counts, share right, discrimination and "à revoir"; per run its way, state, score
and mark. The marks exported for the grade book: one row per pupil with a finished run."""
import csv
import math
import os
import re
import sys

from importlib.machinery import SourceFileLoader

here = os.path.dirname(os.path.abspath(__file__))
results = SourceFileLoader("check_results", os.path.join(here, "check-results.py")).load_module()

PUPILS = [("Léa Martin", [2, 3, 4], "terminé"),
          ("Noé Petit", [1] * 12, "terminé"),
          ("Zoé Durand", [2, 1], "inachevé")]


def copied_table(path: str):
    with open(path, encoding="utf-8") as f:
        return [line.split("\t") for line in f.read().split("\n") if line != ""]


def decimal(value: float) -> str:
    return f"{value:.2f}".replace(".", ",").replace("-0,00", "0,00")


def discrimination(right, totals):
    """The point-biserial correlation of being right on a question with the score on the others."""
    n = len(right)
    p = sum(right) / n
    rest = [t - x for t, x in zip(totals, right)]
    mean = sum(rest) / n
    variance = sum(r * r for r in rest) / n - mean * mean
    if p in (0, 1) or variance <= 1e-12:
        return None
    mean_right = sum(r for r, x in zip(rest, right) if x) / sum(right)
    mean_wrong = sum(r for r, x in zip(rest, right) if not x) / (n - sum(right))
    return (mean_right - mean_wrong) / math.sqrt(variance) * math.sqrt(p * (1 - p))


def check_statistics(sample: str, work: str) -> int:
    titles = results.questions(sample)
    finished = [given + [0] * (len(titles) - len(given)) for _, given, state in PUPILS if state == "terminé"]
    right = [[int(str(a) == solution) for a, (_, solution) in zip(given, titles)] for given in finished]
    totals = [sum(r) for r in right]
    expected = [["Question", "Réponses", "Justes", "% justes, blancs compris", "Facilité", "Discrimination", "À revoir", "1)", "2)", "3)", "4)", "5)"]]
    for q, (title, _) in enumerate(titles):
        answered = sum(1 for given in finished if given[q])
        count = sum(r[q] for r in right)
        value = discrimination([r[q] for r in right], totals)
        review = count / len(finished) < 0.1 or (value is not None and value < 0)
        # The share of the copies ticking each answer; facility is the mean share of the point earned,
        # which for one-answer questions without penalty is the share right.
        chosen = [f"{round(100 * sum(1 for given in finished if given[q] == a) / len(finished))} %" for a in range(1, 6)]
        share = f"{round(100 * count / len(finished))} %"
        expected.append([f"{q + 1}. {title}", str(answered), str(count), share, share,
                         "-" if value is None else decimal(value), "à revoir" if review else ""] + chosen)
    failures = 0
    questions = copied_table(f"{work}/statistics-questions.txt")
    if questions != expected:
        print(f"statistics per question: copied {questions!r}\n  expected {expected!r}")
        failures += 1
    pupils = copied_table(f"{work}/statistics-pupils.txt")
    expected = [["Élève", "Date", "Passation", "État", "Score", "Note"]]
    # The dates are the run's own: only their form is checked.
    for pupil, given, state in PUPILS:
        count = results.right_count(sample, given)
        expected.append([pupil, "", "poste", "terminée" if state == "terminé" else "inachevée", f"{count} / {len(titles)}",
                         f"{results.mark_text(count, len(titles))} / 20"])
    undated = pupils[:1] + [row[:1] + [""] + row[2:] for row in pupils[1:]]
    if undated != expected or not all(len(row[1]) == len("09/03/2026 10:00:00") for row in pupils[1:]):
        print(f"statistics per pupil: copied {pupils!r}\n  expected {expected!r} (with dates)")
        failures += 1
    return failures


def check_marks(sample: str, work: str) -> int:
    """The latest run of each pupil who finished one, sorted by name; the unfinished left out.
    The last column names the copy used: its date is the run's own, so only its form is checked."""
    titles = results.questions(sample)
    with open(f"{work}/quiz-notes.csv", "rb") as f:
        text = f.read()
    expected = "\ufeffNom;Note / 20;Copie retenue\r\n" + "".join(
        f"{pupil};{results.mark_text(results.right_count(sample, given), len(titles))};DATE, poste\r\n"
        for pupil, given, state in sorted(PUPILS) if state == "terminé")
    undated = re.sub(r";\d\d/\d\d/\d{4} \d\d:\d\d, ", ";DATE, ", text.decode("utf-8"))
    if undated != expected:
        print(f"exported marks: {text!r}\n  expected {expected.encode()!r}")
        return 1
    return 0


def main() -> int:
    sample, work = sys.argv[1:3]
    kept = f"{work}/quiz-resultats.csv"
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
    failures += check_statistics(sample, work) + check_marks(sample, work)
    if failures == 0:
        print(f"ok: {len(PUPILS)} pupils kept with their marks, the last one unfinished; the statistics and the "
              "exported marks agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
