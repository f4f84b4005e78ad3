#!/usr/bin/env python3
"""Runs inside the virtual X server (see run-time-limit.sh): the real program's "Passation sur le
réseau..." on a two-minute questionnaire, with the class list "3e A" kept beforehand in the
program's data folder, where MARTIN Bob has "+50 %". The teacher opens the session from the menu
and chooses the list with keys; two pupils in headless Chromium join from the list, answer some
questions, not all, and stop.

Neither device's clock is right: Ann's runs twice as fast (her page counts down to zero after a
minute), Bob's Date is more than two hours ahead. The time is the teacher's computer's alone.

Checked: both pages show the time left, Bob's more; each page is told its time is up at its own
end (two minutes after Ann joined, three after Bob did), never earlier; an answer sent after the
end is refused; once the teacher ends the session, the results file holds both rows, "terminée :
temps écoulé", their durations the limits, and every answer given before the end with its
"Bonnes réponses" and "Note".

With NELO_TIME_SHOTS set to a folder: Bob's phone page with his time left.

Exits 77 (skipped) when Chromium, its driver, Selenium or Pillow is missing.

  time-limit.py <nelo-qcm> <scratch folder>
"""

import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tests', 'classroom'))

from network_browser_test import (QUESTIONS, browser_tools_missing, check, join_from_list,  # noqa: E402
                                  load_script, questionnaire, results_rows)

network_session = load_script('network_session', os.path.join(HERE, 'network-session.py'))
live_session = load_script('live_session', os.path.join(HERE, 'live-session.py'))
Program, Session, until = network_session.Program, network_session.Session, network_session.until

CLASS = '3e A'
ANN, BOB = 'DURAND Ann', 'MARTIN Bob'
MINUTES = 2
# Seconds each pupil has: Bob's "+50 %" gives him half as much again.
LIMITS = {ANN: MINUTES * 60, BOB: MINUTES * 90}
# How late a page may learn that its time is up: it looks every second, on a busy machine.
LATE = 10.0

# Ann's device: performance.now(), which the page counts down with, runs twice as fast.
FAST_CLOCK = """
(() => {
  const real = performance.now.bind(performance);
  const origin = real();
  Object.defineProperty(performance, 'now', {value: () => origin + 2 * (real() - origin), configurable: true});
})();
"""
# Bob's device: its Date is two hours and seventeen minutes ahead.
SHIFT_MS = (2 * 60 + 17) * 60 * 1000
SHIFTED_DATE = """
(() => {
  const shift = %d;
  const Real = Date;
  function Shifted(...parts) {
    if (!new.target)
      return new Real(Real.now() + shift).toString();
    return parts.length ? new Real(...parts) : new Real(Real.now() + shift);
  }
  Shifted.prototype = Real.prototype;
  Shifted.now = () => Real.now() + shift;
  Shifted.parse = Real.parse;
  Shifted.UTC = Real.UTC;
  window.Date = Shifted;
})();
""" % SHIFT_MS

# An answer sent with the page's own token, as a page that missed the end would send it.
LATE_ANSWER = """
const done = arguments[arguments.length - 1];
const run = JSON.parse(localStorage.getItem('nelo-qcm-run:' + location.host) || 'null');
if (!run) { done({status: -1, body: 'no run kept by the page'}); return; }
fetch('/api/answer', {method: 'POST', headers: {'Content-Type': 'application/json'},
                      body: JSON.stringify({token: run.token, position: arguments[0], choice: 1,
                                            seq: Number(run.seq || 0) + 1000})})
  .then((r) => r.json().then((body) => done({status: r.status, body: body})))
  .catch((e) => done({status: 0, body: String(e)}));
"""

# Where the page stands, read in one call: the page shown, the end's title, the time left shown.
PAGE_STATE = """
const shown = ['question-page', 'confirm-page', 'end-page'].find((id) => !document.getElementById(id).hidden);
return [shown || '', document.getElementById('end-title').textContent,
        document.getElementById('time-left').hidden ? '' : document.getElementById('time-left').textContent];
"""


class TimedPupil(live_session.LivePupil):
    """A pupil's browser whose device clock is `clock`, a script run before the page's own."""

    def __init__(self, name, address, clock):
        super().__init__(name, address)
        self.browser.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': clock})
        self.ended_at = None

    def shown_question(self):
        """The questionnaire's number of the question on the page, read from its answers' texts."""
        text = self.finds('#answers button')[0].text.split(')', 1)[1].strip().split('\n')[0]
        return int(text.split()[1].split('.')[0])

    def answer_question(self, right):
        """The right answer of the question shown (1 + (q - 1) % 3), or the one after it."""
        good = 1 + (self.shown_question() - 1) % 3
        self.choose(good if right else 1 + good % 3)
        self.sent()

    def state(self):
        return self.browser.execute_script(PAGE_STATE)

    def late_answer(self, position):
        self.browser.set_script_timeout(10)
        return self.browser.execute_async_script(LATE_ANSWER, position)


def choose_class(session, program):
    """"Liste de classe" in the session window, its one kept class: pressed again until the
    journal says the session took it (Down past the last class stays on it)."""
    def chosen():
        return next((r for r in program.journal() if r.get('k') == 'class' and r.get('class') == CLASS), None)
    for _ in range(4):
        session.press('alt+l')
        session.press('Down')
        try:
            return until(chosen, 'the class list chosen', 8)
        except AssertionError:
            continue
    return until(chosen, 'the class list chosen', 1)


def joins_of(program):
    """The join records of the journal, by pupil's index: when each copy's time began."""
    return [r for r in program.journal() if r.get('k') == 'join']


def wait_for_ends(pupils, joined, last):
    """Polls both pages until each shows its end; notes when. Ann's page passes its own zero a
    minute after she joined: a moment later it shows the question still, with the time the
    teacher's computer gave it."""
    ann, bob = pupils
    looked_after_zero = False
    while not all(p.ended_at for p in pupils):
        now = time.time()
        check(now < last, 'the pages never showed the end of the time: %s' % [p.state() for p in pupils])
        for pupil in pupils:
            if pupil.ended_at:
                continue
            page, title, left = pupil.state()
            if page == 'end-page':
                check(title == 'Temps écoulé', '%s: the end page says "%s"' % (pupil.name, title))
                pupil.ended_at = now
                if pupil is ann:
                    check(not bob.ended_at, 'Bob\'s time ended before Ann\'s')
            else:
                check(page == 'question-page', '%s left the questions: %s' % (pupil.name, page))
        if not looked_after_zero and not ann.ended_at and now > joined[ANN] + 75:
            page, _, left = ann.state()
            check(page == 'question-page' and left.startswith('Temps restant : '),
                  'Ann\'s page, its own clock past zero: %s, "%s"' % (page, left))
            looked_after_zero = True
        time.sleep(0.4)
    check(looked_after_zero, 'Ann\'s page was not looked at after its own zero')


def check_results(pupils, header_and_rows):
    header, runs = header_and_rows
    check(len(runs) == 2, 'rows in the results: %s' % runs)
    column = {name: header.index(name) for name in ('Nom', 'Bonnes réponses', 'Note', 'Barème', 'Passation',
                                                    'Durée', 'État')}
    for pupil in pupils:
        row = next((r for r in runs if r[column['Nom']] == pupil.name), None)
        check(row, '%s has no row in the results: %s' % (pupil.name, runs))
        check(row[column['État']] == 'terminée : temps écoulé', '%s: État "%s"' % (pupil.name, row[column['État']]))
        check(row[column['Passation']] == 'réseau', '%s: Passation "%s"' % (pupil.name, row[column['Passation']]))
        limit = LIMITS[pupil.name]
        duration = '0:%02d:%02d' % (limit // 60, limit % 60)
        check(row[column['Durée']] == duration, '%s: Durée %s, the limit %s' % (pupil.name, row[column['Durée']], duration))
        answers = row[-QUESTIONS:]
        given = [str(pupil.chosen.get(q, '')) for q in range(1, QUESTIONS + 1)]
        check(answers == given, '%s: %s kept, %s given' % (pupil.name, answers, given))
        right = sum(1 for q, a in pupil.chosen.items() if a == 1 + (q - 1) % 3)
        check(row[column['Bonnes réponses']] == str(right), '%s: Bonnes réponses %s, %d given right'
              % (pupil.name, row[column['Bonnes réponses']], right))
        scale = int(row[column['Barème']])
        mark = ('%g' % (right * scale / QUESTIONS)).replace('.', ',')
        check(row[column['Note']] == mark, '%s: Note %s, expected %s' % (pupil.name, row[column['Note']], mark))


def main():
    executable, work = sys.argv[1:3]
    missing = browser_tools_missing()
    if missing:
        print(missing)
        return 77
    shots = os.environ.get('NELO_TIME_SHOTS')
    started = time.time()
    qcm = os.path.join(work, 'quiz.qcm')
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write('PASSATION duree=%d\r\n' % MINUTES + questionnaire('drapeau-france.bmp'))
    network_session.keep_class_list(CLASS, [ANN, BOB + '\t+50 %'])
    results = os.path.join(work, 'quiz-resultats.csv')

    program = Program(executable, qcm)
    pupils = []
    try:
        session = Session(program)
        check('PASSATION duree=%d' % MINUTES in session.start['lines'],
              'the session began without its time limit: %s' % session.start['lines'][:6])
        chosen = choose_class(session, program)
        check(chosen.get('extra') == ['', '+50 %'], 'extra times of the chosen list: %s' % chosen)
        print('session open, class list chosen (%.1f s)' % (time.time() - started))

        ann, bob = TimedPupil(ANN, session.address, FAST_CLOCK), TimedPupil(BOB, session.address, SHIFTED_DATE)
        pupils = [ann, bob]
        for pupil in pupils:
            join_from_list(pupil, session.code)
        joins = until(lambda: len(joins_of(program)) == 2 and joins_of(program), 'both joins in the journal', 10)
        # The pupils' indexes follow the order they joined in.
        joined = {ANN: joins[0]['at'] / 1000.0, BOB: joins[1]['at'] / 1000.0}
        check([j.get('extra') for j in joins] == [None, '+50 %'], 'extra times at joining: %s' % joins)

        # Both devices' clocks are as wrong as they were made.
        ahead = bob.browser.execute_script('return Date.now()') - time.time() * 1000
        check(abs(ahead - SHIFT_MS) < 60000, 'Bob\'s Date is %.0f ms ahead' % ahead)
        before = ann.browser.execute_script('return performance.now()')
        time.sleep(1)
        check(ann.browser.execute_script('return performance.now()') - before > 1800, 'Ann\'s clock is not fast')

        check(ann.state()[2] == 'Temps restant : 2 min', 'Ann sees: "%s"' % ann.state()[2])
        check(bob.state()[2] == 'Temps restant : 3 min', 'Bob sees: "%s"' % bob.state()[2])
        # Some questions, not all: Ann one right and one wrong, Bob two right and one wrong.
        ann.answer_question(True)
        ann.next()
        ann.answer_question(False)
        for right in (True, True, False):
            if bob.chosen:
                bob.next()
            bob.answer_question(right)
        if shots:
            bob.browser.set_window_size(390, 844)
            time.sleep(0.5)
            bob.browser.save_screenshot(os.path.join(shots, 'network-page-time-left-extra-phone.png'))
        print('answers given (%.1f s); waiting for the end of the time' % (time.time() - started))

        wait_for_ends(pupils, joined, joined[BOB] + LIMITS[BOB] + 60)
        for pupil in pupils:
            end = joined[pupil.name] + LIMITS[pupil.name]
            # The page learns of the end from the teacher's computer, after its deadline.
            check(pupil.ended_at >= end, '%s was told the time is up %.1f s early' % (pupil.name, end - pupil.ended_at))
            check(pupil.ended_at <= end + LATE, '%s was told the time is up %.1f s late' % (pupil.name, pupil.ended_at - end))
            refused = pupil.late_answer(QUESTIONS - 1)
            check(refused['status'] == 409 and refused['body'].get('timeUp') is True,
                  '%s: an answer after the end got %s' % (pupil.name, refused))
        finishes = {r['p']: r for r in program.journal() if r.get('k') == 'finish'}
        for index, pupil in enumerate(pupils):
            finish = finishes.get(index, {})
            check(finish.get('time') is True and finish.get('at') - joins[index]['at'] == LIMITS[pupil.name] * 1000,
                  '%s: the copy ended %s, joined at %s' % (pupil.name, finish, joins[index]['at']))
        print('each page told at its own end (Ann %.1f s, Bob %.1f s after joining)'
              % (ann.ended_at - joined[ANN], bob.ended_at - joined[BOB]))

        session.end(kept=True)
        check_results(pupils, results_rows(results))
        program.quit_with('alt+x')
    except Exception:
        network_session.keep_failure_screen('time-limit')
        raise
    finally:
        for pupil in pupils:
            pupil.quit()
        program.quit()
    print('time limit with the real program passed in %.1f s' % (time.time() - started))
    return 0


if __name__ == '__main__':
    sys.exit(main())
