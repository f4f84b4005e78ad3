#!/usr/bin/env python3
"""Runs inside the virtual X server (see run-live-session.sh): the real program and its
"Passation en direct..." windows, driven with xdotool as a teacher would (the control window's
keys and a presenter remote's PgDn), and five pupils in headless Chromium through Selenium.

The teacher paces three questions: each opens, the pupils answer, the class's answers are
shown, then the right answer. Checked: no page ever received a question ahead of the teacher or
a right answer before it was shown (every answer of the API a page received is recorded); the
chart's counts, as the journal keeps what the class was shown, and as each page shows them, are
those of the answers the pupils sent; after "Terminer", the results file holds the five runs,
finished, "direct", with those answers.

With NELO_LIVE_SHOTS set to a folder: the projector at 1366x768 and 1920x1080 with the chart,
the teacher's control window, a phone waiting and answering.

Exits 77 (skipped) when Chromium, its driver, Selenium or Pillow is missing.

  live-session.py <nelo-qcm> <scratch folder>
"""

import json
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tests', 'classroom'))

from network_browser_test import (browser_tools_missing, Pupil, check, load_script, questionnaire,  # noqa: E402
                                  results_rows)

network_session = load_script('network_session', os.path.join(HERE, 'network-session.py'))
Program, RECORDER, until, xdotool = (network_session.Program, network_session.RECORDER, network_session.until,
                                     network_session.xdotool)

SESSION_WINDOW = '^Passation en direct$'
CONTROLS = '^Passation en direct – commandes$'
PROJECTOR = '^Passation en direct – projection$'
NAMES = ['DURAND Ann', 'MARTIN Bob', 'PETIT Cléo', 'ROUX Dan', 'SIMON Eva']
PACED = 3
# What each pupil answers, by question: the answer's number (its text "Réponse q.k" says it,
# wherever the pupil's page shows it).
CHOICES = [[1, 1, 2, 3, 1], [2, 2, 2, 1, 3], [3, 1, 3, 3, 2]]


class LivePupil(Pupil):
    def __init__(self, name, address):
        super().__init__(name, address)
        self.browser.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': RECORDER})

    def join_live(self, code):
        self.browser.get(self.address)
        self.wait(lambda: self.visible('#code-page'), 'the code page')
        self.find('#code').send_keys(code)
        self.find('#code-form button').click()
        self.wait(lambda: self.visible('#name-page'), 'the name page')
        self.find('#name').send_keys(self.name)
        self.find('#name-form button').click()
        self.wait(lambda: self.visible('#live-page'), 'the page waiting for the first question')

    def at_question(self, number, step):
        self.wait(lambda: self.visible('#question-page') and self.number() == number
                  and self.step(step), 'question %d, %s' % (number, step), 15)

    def step(self, step):
        buttons = self.finds('#answers button')
        if step == 'open':
            return buttons and all(b.is_enabled() for b in buttons)
        shares = [b.find_element('css selector', '.share').text for b in buttons]
        if step == 'answers':
            return all(buttons) and not any(b.is_enabled() for b in buttons) and all(shares)
        return any('bonne réponse' in s for s in shares)

    def choose(self, answer):
        """Presses the answer whose text is "Réponse q.answer"."""
        for place, button in enumerate(self.finds('#answers button'), 1):
            text = button.text.split(')', 1)[1].strip().split('\n')[0]
            if text.split()[1].split('.')[1] == str(answer):
                return self.answer(place)
        raise AssertionError('%s: answer %d not shown' % (self.name, answer))

    def shown(self):
        """{answer number: (share text, right)} as the page shows the class's answers."""
        seen = {}
        for button in self.finds('#answers button'):
            text = button.find_element('css selector', 'span:nth-child(2)').text
            share = button.find_element('css selector', '.share').text
            seen[int(text.split()[1].split('.')[1])] = (share, 'right' in (button.get_attribute('class') or ''))
        return seen

    def api(self):
        return json.loads(self.browser.execute_script("return sessionStorage.getItem('nelo-e2e-api') || '[]'"))


def shot_of(window, path):
    # Above the other windows: the shot is of the screen where the window is.
    xdotool('windowraise', window)
    time.sleep(0.5)
    subprocess.run(['import', '-window', window, path], check=True)


def main():
    executable, work = sys.argv[1:3]
    missing = browser_tools_missing()
    if missing:
        print(missing)
        return 77
    shots = os.environ.get('NELO_LIVE_SHOTS')
    started = time.time()
    qcm = os.path.join(work, 'quiz.qcm')
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write(questionnaire('drapeau-france.bmp'))
    results = os.path.join(work, 'quiz-resultats.csv')

    program = Program(executable, qcm)
    pupils = []
    try:
        program.keys(program.main, 'alt+q', 'd')
        session = program.window(SESSION_WINDOW, '"Passation en direct..." and its window')
        controls = program.window(CONTROLS, 'the teacher\'s control window')
        projector = program.window(PROJECTOR, 'the projector window')

        def listening():
            records = program.journal()
            return records if any(r.get('k') == 'address' and r.get('port') for r in records) else None
        journal = until(listening, 'the session listening')
        place = [r for r in journal if r.get('k') == 'address'][-1]
        address = 'http://%s:%d/' % (place['address'], place['port'])
        code = journal[0]['code']
        check(journal[0].get('live') is True, 'the journal does not say the run is live: %s' % journal[0])

        pupils = [LivePupil(name, address) for name in NAMES]
        for pupil in pupils:
            pupil.join_live(code)
        if shots:
            pupils[0].browser.set_window_size(390, 844)
            time.sleep(0.3)
            pupils[0].browser.save_screenshot(os.path.join(shots, 'live-phone-waiting.png'))
        print('five pupils waiting (%.1f s)' % (time.time() - started))

        for q in range(PACED):
            number = q + 1
            # "Question suivante" with its key; a presenter remote's PgDn for the next steps.
            program.keys(controls, 'alt+q')
            for pupil, answer in zip(pupils, CHOICES[q]):
                pupil.at_question(number, 'open')
                pupil.choose(answer)
            for pupil in pupils:
                pupil.sent()
            if shots and q == 0:
                pupils[0].browser.save_screenshot(os.path.join(shots, 'live-phone-answering.png'))
            program.keys(controls, 'Next')
            expected = {k: CHOICES[q].count(k) for k in range(1, 4)}
            for pupil in pupils:
                pupil.at_question(number, 'answers')
                for answer, (share, right) in pupil.shown().items():
                    check(share.startswith('%d élève' % expected.get(answer, 0)) and not right,
                          '%s, question %d, answer %d: "%s"' % (pupil.name, number, answer, share))
            shown = [r for r in program.journal() if r.get('k') == 'pace' and r.get('s') == 'answers' and r.get('q') == q]
            check(shown and shown[-1]['c'][:3] == [expected[1], expected[2], expected[3]] and shown[-1]['n'] == 5,
                  'question %d: the chart counted %s, the pupils sent %s' % (number, shown, expected))
            if shots and q == 0:
                for width, height in ((1366, 768), (1920, 1080)):
                    xdotool('windowsize', '--sync', projector, str(width), str(height))
                    time.sleep(0.8)
                    shot_of(projector, os.path.join(shots, 'live-projector-%dx%d.png' % (width, height)))
            program.keys(controls, 'Next')
            right = 1 + q % 3
            for pupil in pupils:
                pupil.at_question(number, 'right')
                marked = [a for a, (_, r) in pupil.shown().items() if r]
                check(marked == [right], '%s, question %d: right answers marked %s' % (pupil.name, number, marked))
            if shots and q == 0:
                xdotool('windowsize', '--sync', projector, '1366', '768')
                time.sleep(0.8)
                shot_of(projector, os.path.join(shots, 'live-projector-right.png'))
                pupils[0].browser.save_screenshot(os.path.join(shots, 'live-phone-right.png'))
                shot_of(controls, os.path.join(shots, 'live-control-window.png'))
            print('question %d: counts and right answer as sent (%.1f s)' % (number, time.time() - started))

        # Nothing ahead of the teacher reached a page: no question past the one shown, no right
        # answer before it was shown, no correction at all.
        for pupil in pupils:
            for seen in pupil.api():
                try:
                    body = json.loads(seen['body'] or '{}')
                except ValueError:
                    continue
                check('Explication' not in seen['body'], '%s received a correction: %s' % (pupil.name, seen['body'][:200]))
                if 'live' in seen['path']:
                    check(body.get('number', 0) <= PACED, '%s saw question %s' % (pupil.name, body.get('number')))
                    check('right' not in body or body.get('step') == 'right',
                          '%s received the right answer early: %s' % (pupil.name, seen['body'][:200]))

        # "Terminer" in the control window is the session window's own end.
        program.keys(controls, 'alt+t')
        program.answer_box('"Terminer la passation ?"')
        program.keys(session, 'alt+f')
        program.gone(session, SESSION_WINDOW, 'the session window')
        program.answer_box('where the copies went')

        header, runs = results_rows(results)
        way = header.index('Passation')
        check(len(runs) == 5, 'rows in the results: %d' % len(runs))
        for pupil, row in zip(pupils, sorted(runs, key=lambda r: NAMES.index(next(n for n in NAMES if n in r)))):
            check(row[way] == 'direct' and 'terminé' in row, '%s: %s' % (pupil.name, row))
            answers = row[-4:]
            for q in range(PACED):
                check(answers[q] == str(pupil.chosen[q + 1]), '%s, question %d: kept %s, sent %s'
                      % (pupil.name, q + 1, answers[q], pupil.chosen[q + 1]))
            check(answers[3] == '', '%s answered a question never shown: %s' % (pupil.name, answers))
        program.quit_with('alt+x')
    except Exception:
        network_session.keep_failure_screen('live')
        raise
    finally:
        for pupil in pupils:
            pupil.quit()
        program.quit()
    print('live session with the real program passed in %.1f s' % (time.time() - started))
    return 0


if __name__ == '__main__':
    sys.exit(main())
