#!/usr/bin/env python3
"""Three pupils answer a session on their own browsers (Debian's Chromium, headless, driven by
Selenium): they join with the code, answer, one reloads the page in the middle and finds the
same run at the same question, one answers while the network is away, all finish. The session
window's table and the results file are checked afterwards.

Exits 77 (skipped) when Chromium or its driver is not installed.

  network_browser_test.py --driver nelo-network-session-driver --examples examples [--screenshots DIR]
                          [--case corrections-at-end | --case time-limit]

The case "corrections-at-end" runs a session whose corrections wait for the end of the run: no
page holds a correction or a right answer until the teacher shows them, not even an end page
reloaded.

The case "time-limit" runs a one-minute questionnaire: one pupil has "+50 %" in the class list;
both run out of time, their copies end as they stand and the results say "terminée : temps
écoulé" with every answer given. It takes about a minute and a half.
"""

import argparse
import csv
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

CHROMIUM = shutil.which('chromium')
CHROMEDRIVER = shutil.which('chromedriver')

QUESTIONS = 4


def questionnaire(picture, corrections_at_end=False):
    """Four questions, answers 'Réponse q.k', the right one 1 + q % 3; the second question has
    a picture; the settings shuffle questions and answers and show the corrections (after the
    copy, or at the end of the run)."""
    lines = ['PASSATION questions=melange', 'PASSATION reponses=melange', 'PASSATION fin=corrections']
    if corrections_at_end:
        lines.append('PASSATION corrections=fin-passation')
    for n in range(QUESTIONS):
        lines += ['<BLOC%04d>' % n, 'TITLE Question %d <b>pas du HTML</b>' % (n + 1),
                  'PICTURE ' + (picture if n == 1 else '')]
        lines += ['REP%d Réponse %d.%d' % (k, n + 1, k) for k in range(1, 4)] + ['REP4 ', 'REP5 ']
        lines += ['REPONSE %d' % (1 + n % 3), 'Énoncé de la question %d' % (n + 1),
                  'Correction :', 'Explication %d' % (n + 1), '</BLOC%04d>' % n]
    return '\r\n'.join(lines) + '\r\n'


class Teacher:
    """The teacher's program, running the session window on 127.0.0.1."""

    def __init__(self, driver, qcm, results):
        self.process = subprocess.Popen([driver, qcm, results], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, env=dict(os.environ, QT_QPA_PLATFORM='offscreen'))
        first = json.loads(self.process.stdout.readline())
        self.address, self.code = first['address'], first['code']

    def ask(self, command):
        self.process.stdin.write(command + '\n')
        self.process.stdin.flush()
        return json.loads(self.process.stdout.readline())

    def quit(self):
        if self.process.poll() is None:
            self.process.stdin.write('quit\n')
            self.process.stdin.flush()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()


class Pupil:
    def __init__(self, name, address):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                         '--window-size=1280,800', '--lang=fr'):
            options.add_argument(argument)
        self.name = name
        self.browser = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.address = address
        self.chosen = {}  # question number -> answer number, read from the texts shown

    def find(self, css):
        from selenium.webdriver.common.by import By
        return self.browser.find_element(By.CSS_SELECTOR, css)

    def finds(self, css):
        from selenium.webdriver.common.by import By
        return self.browser.find_elements(By.CSS_SELECTOR, css)

    def wait(self, condition, what, seconds=10):
        end = time.time() + seconds
        while time.time() < end:
            try:
                if condition():
                    return
            except Exception:  # the page is between two states
                pass
            time.sleep(0.05)
        raise AssertionError('%s: %s never came (page: %s)' % (self.name, what, self.find('main').text[:300]))

    def visible(self, css):
        return self.find(css).is_displayed()

    def join(self, code):
        self.browser.get(self.address)
        self.wait(lambda: self.visible('#code-page'), 'the code page')
        self.find('#code').send_keys(code)
        self.find('#code-form button').click()
        self.wait(lambda: self.visible('#name-page'), 'the name page')
        self.find('#name').send_keys(self.name)
        self.find('#name-form button').click()
        self.wait(lambda: self.visible('#question-page') and self.number() == 1, 'the first question')

    def number(self):
        return int(self.find('#question-number').text.split()[1])

    def answer(self, place):
        """Chooses the answer shown in place `place` (1-based); returns (question, answer)."""
        button = self.finds('#answers button')[place - 1]
        text = button.text.split(')', 1)[1].strip()  # "Réponse 3.2"
        question, answer = (int(x) for x in text.split()[1].split('.'))
        button.click()
        self.wait(lambda: self.finds('#answers button')[place - 1].get_attribute('aria-pressed') == 'true',
                  'the answer pressed')
        self.chosen[question] = answer
        return question, answer

    def sent(self):
        self.wait(lambda: self.find('#status').text == 'Vos réponses sont enregistrées.', 'every answer sent')

    def next(self):
        current = self.number()
        self.find('#next').click()
        self.wait(lambda: self.number() == current + 1, 'the next question')

    def finish(self):
        self.find('#finish').click()
        self.wait(lambda: self.visible('#confirm-page'), 'the confirmation')
        self.find('#confirm-yes').click()
        self.wait(lambda: self.visible('#end-page'), 'the end page')

    def quit(self):
        self.browser.quit()


def load_script(name, path):
    """The Python file at `path` as the module `name`: the end-to-end scripts' file names have
    dashes, so `import` cannot find them."""
    from importlib.machinery import SourceFileLoader
    import types
    loader = SourceFileLoader(name, path)
    module = types.ModuleType(loader.name)
    module.__file__ = path
    loader.exec_module(module)
    return module


def browser_tools_missing():
    """Why the end-to-end sessions with pupils' browsers cannot run here (they exit 77), or None."""
    if not CHROMIUM or not CHROMEDRIVER:
        return 'Chromium or chromedriver is not installed (Debian: chromium chromium-driver): skipped'
    try:
        import PIL  # noqa: F401
        import selenium  # noqa: F401
    except ImportError:
        return 'Selenium or Pillow is not installed (Debian: python3-selenium python3-pil): skipped'
    return None


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def results_rows(path):
    with open(path, encoding='utf-8-sig', newline='') as file:
        rows = list(csv.reader(file, delimiter=';'))
    return rows[0], rows[1:]


def no_correction_in(pupils, when):
    """Neither a correction nor a right answer in what any of the pages holds."""
    for pupil in pupils:
        source = pupil.browser.page_source
        check('Explication' not in source and 'Bonne réponse' not in source and 'réponse, juste' not in source,
              'a correction reached %s %s' % (pupil.name, when))


def corrections_at_end(args, work, qcm, results):
    """Two pupils; the corrections wait for the teacher."""
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write(questionnaire('drapeau-france.bmp', corrections_at_end=True))
    teacher = Teacher(args.driver, qcm, results)
    pupils = []
    try:
        pupils = [Pupil(name, teacher.address) for name in ('Ann Durand', 'Bob Martin')]
        ann, bob = pupils
        for pupil in pupils:
            pupil.join(teacher.code)
        for n in range(QUESTIONS):
            ann.answer(1 + n % 3)
            if n + 1 < QUESTIONS:
                ann.next()
        ann.sent()
        bob.answer(2)
        bob.sent()
        ann.finish()
        text = ann.find('#end-page').text
        check('Note :' in text, 'Ann end page: %s' % text[:200])
        check(ann.visible('#end-later'), 'Ann is not told the corrections come later')
        no_correction_in(pupils, 'while a classmate answers')
        # A classmate picks up Ann's phone and reloads the end page.
        ann.browser.refresh()
        ann.wait(lambda: ann.visible('#end-page') and 'Note :' in ann.find('#end-page').text, 'the end page again')
        time.sleep(6)  # longer than the page's wait between two looks at the server
        no_correction_in(pupils, 'after reloading the end page')
        if args.screenshots:
            ann.browser.set_window_size(390, 844)
            ann.browser.save_screenshot(os.path.join(args.screenshots, 'network-page-end-waiting-phone.png'))

        teacher.ask('corrections')
        ann.wait(lambda: 'Explication 1' in ann.find('#end-page').text, 'the corrections once shown', seconds=15)
        check(not ann.visible('#end-later'), 'still told the corrections come later')
        # Bob still answering sees none of them until he finishes.
        no_correction_in([bob], 'still answering, after the teacher showed them')
        bob.finish()
        check('Explication 1' in bob.find('#end-page').text, 'Bob end page: %s' % bob.find('#end-page').text[:200])

        rows = teacher.ask('end')['rows']
        check([r[2] for r in rows] == ['terminé', 'terminé'], 'states in the window: %s' % rows)
        _, runs = results_rows(results)
        check(len(runs) == 2, 'runs in the results file: %d' % len(runs))
    finally:
        for pupil in pupils:
            pupil.quit()
        teacher.quit()


def join_from_list(pupil, code):
    from selenium.webdriver.support.ui import Select
    pupil.browser.get(pupil.address)
    pupil.wait(lambda: pupil.visible('#code-page'), 'the code page')
    pupil.find('#code').send_keys(code)
    pupil.find('#code-form button').click()
    pupil.wait(lambda: pupil.visible('#name-list'), 'the class list')
    Select(pupil.find('#name-list')).select_by_value(pupil.name)
    pupil.find('#name-form button').click()
    pupil.wait(lambda: pupil.visible('#question-page') and pupil.number() == 1, 'the first question')


def time_limit(args, work, qcm, results):
    """A minute each, a minute and a half for the pupil with "+50 %"; nobody finishes in time."""
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write('PASSATION duree=1\r\n' + questionnaire('drapeau-france.bmp'))
    teacher = Teacher(args.driver, qcm, results)
    pupils = []
    try:
        answer = teacher.ask('timedclass 3e A\tAnn Durand\tBob Martin ; +50 %')
        check(answer['extra'] == ['', '+50 %'], 'extra times of the session: %s' % answer)
        pupils = [Pupil(name, teacher.address) for name in ('Ann Durand', 'Bob Martin')]
        ann, bob = pupils
        # Each copy's time begins when the teacher's computer takes the pupil, after this.
        asked = {}
        for pupil in pupils:
            asked[pupil.name] = time.time()
            join_from_list(pupil, teacher.code)
        # A minute shows as "1 min" only while it is whole; Bob's ninety seconds round up.
        check(ann.find('#time-left').text in ('Temps restant : 1 min', 'Temps restant : moins d\'une minute'),
              'Ann sees: %s' % ann.find('#time-left').text)
        check(bob.find('#time-left').text == 'Temps restant : 2 min', 'Bob sees: %s' % bob.find('#time-left').text)
        ann.answer(1)
        ann.sent()
        bob.answer(2)
        bob.next()
        bob.answer(1)
        bob.sent()
        if args.screenshots:
            bob.browser.set_window_size(390, 844)
            bob.browser.save_screenshot(os.path.join(args.screenshots, 'network-page-time-left-phone.png'))
        # The page counts down for the display; the teacher's computer ends the copy.
        ann.wait(lambda: ann.visible('#end-page') and 'Temps écoulé' in ann.find('#end-page').text,
                 'the end of Ann\'s time', seconds=80)
        check(time.time() - asked['Ann Durand'] >= 60, 'Ann stopped after %.1f s' % (time.time() - asked['Ann Durand']))
        check(bob.visible('#question-page'), 'Bob stopped with Ann')
        bob.wait(lambda: bob.visible('#end-page') and 'Temps écoulé' in bob.find('#end-page').text,
                 'the end of Bob\'s time', seconds=60)
        check(time.time() - asked['Bob Martin'] >= 90, 'Bob stopped after %.1f s' % (time.time() - asked['Bob Martin']))
        rows = teacher.ask('end')['rows']
        header, runs = results_rows(results)
        check(len(runs) == 2, 'runs in the results file: %d' % len(runs))
        state = header.index('État')
        first = state + 2  # the copy's number, then the questions
        for run in runs:
            check(run[state] == 'terminée : temps écoulé', 'state of %s: %s' % (run[2], run[state]))
        given = {run[2]: sum(1 for cell in run[first:] if cell) for run in runs}
        check(given == {'Ann Durand': 1, 'Bob Martin': 2}, 'answers kept: %s (window: %s)' % (given, rows))
    finally:
        for pupil in pupils:
            pupil.quit()
        teacher.quit()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--driver', required=True)
    parser.add_argument('--examples', required=True)
    parser.add_argument('--screenshots')
    parser.add_argument('--case', choices=['corrections-at-end', 'time-limit'])
    args = parser.parse_args()
    if not CHROMIUM or not CHROMEDRIVER:
        print('Chromium or chromedriver is not installed (Debian: chromium chromium-driver): browser test skipped')
        return 77
    try:
        import selenium  # noqa: F401
    except ImportError:
        print('Selenium is not installed (Debian: python3-selenium): browser test skipped')
        return 77

    started = time.time()
    work = tempfile.mkdtemp(prefix='nelo-browser-')
    shutil.copy(os.path.join(args.examples, 'drapeau-france.bmp'), work)
    qcm = os.path.join(work, 'quiz.qcm')
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write(questionnaire('drapeau-france.bmp'))
    results = os.path.join(work, 'quiz-resultats.csv')
    if args.case in ('corrections-at-end', 'time-limit'):
        try:
            (corrections_at_end if args.case == 'corrections-at-end' else time_limit)(args, work, qcm, results)
        finally:
            shutil.rmtree(work, ignore_errors=True)
        print('browser test (%s) passed in %.1f s' % (args.case, time.time() - started))
        return 0
    teacher = Teacher(args.driver, qcm, results)
    pupils = []
    try:
        pupils = [Pupil(name, teacher.address) for name in ('Ann Durand', 'Bob Martin', 'Chloé Leroy')]
        ann, bob, chloe = pupils
        for pupil in pupils:
            pupil.join(teacher.code)

        # Texts from the questionnaire are text: the markup in the titles shows as typed.
        check('<b>pas du HTML</b>' in ann.find('#question-title').text, 'a title shown as HTML')
        check(not ann.finds('#question-title b'), 'markup from the questionnaire in the page')

        # Ann answers everything, in order.
        for n in range(QUESTIONS):
            ann.answer(1 + n % 3)
            if n + 1 < QUESTIONS:
                ann.next()
        ann.sent()

        # Bob answers two questions, then reloads the page: the same run, the same question.
        bob.answer(2)
        bob.next()
        question, _ = bob.answer(3)
        bob.sent()
        before = bob.find('#question-title').text
        bob.browser.refresh()
        bob.wait(lambda: bob.visible('#question-page') and bob.number() == 2, 'the same question after reloading')
        check(bob.find('#question-title').text == before, 'another question after reloading')
        pressed = [b.get_attribute('aria-pressed') for b in bob.finds('#answers button')]
        check(pressed == ['false', 'false', 'true'], 'the answer lost on reloading: %s' % pressed)
        strip = [b.get_attribute('class') for b in bob.finds('#strip button')]
        check(strip[:2] == ['answered', 'answered'] and 'answered' not in strip[2:], 'the strip after reloading: %s' % strip)
        bob.next()
        bob.answer(1)
        bob.sent()

        # Chloé answers while the network is away: kept in the page, sent when it comes back.
        chloe.answer(1)
        chloe.sent()
        chloe.next()
        chloe.browser.set_network_conditions(offline=True, latency=0, download_throughput=0, upload_throughput=0)
        chloe.answer(2)
        chloe.wait(lambda: 'Connexion perdue' in chloe.find('#status').text, 'the answer waiting')
        table = teacher.ask('table')['rows']
        check(table[2][1] == '1 / 4', 'an answer counted while the network was away: %s' % table[2])
        chloe.browser.set_network_conditions(offline=False, latency=0, download_throughput=500000, upload_throughput=500000)
        chloe.browser.execute_script("window.dispatchEvent(new Event('online'))")
        chloe.sent()
        check(teacher.ask('table')['rows'][2][1] == '2 / 4', 'the waiting answer never arrived')

        if args.screenshots:
            chloe.browser.set_window_size(1280, 800)
            chloe.browser.save_screenshot(os.path.join(args.screenshots, 'network-page-computer.png'))
            bob.browser.set_window_size(390, 844)
            bob.wait(lambda: bob.visible('#question-page'), 'the question')
            bob.browser.save_screenshot(os.path.join(args.screenshots, 'network-page-phone.png'))
            teacher.ask('shot ' + os.path.join(args.screenshots, 'network-session-window-browsers.png'))

        # Before finishing, the page knows nothing of the answers.
        for pupil in pupils:
            source = pupil.browser.page_source
            check('Explication' not in source, 'a correction reached %s before the end' % pupil.name)

        # Bob and Chloé finish with questions unanswered: the confirmation names them.
        bob.find('#finish').click()
        bob.wait(lambda: bob.visible('#confirm-page'), 'the confirmation')
        check('La question 4' in bob.find('#confirm-unanswered').text, bob.find('#confirm-unanswered').text)
        bob.find('#confirm-yes').click()
        bob.wait(lambda: bob.visible('#end-page'), 'the end page')
        chloe.finish()
        ann.finish()
        for pupil in pupils:
            text = pupil.find('#end-page').text
            check('Note :' in text and 'Explication 1' in text, '%s end page: %s' % (pupil.name, text[:200]))
        if args.screenshots:
            ann.browser.set_window_size(390, 844)
            ann.browser.save_screenshot(os.path.join(args.screenshots, 'network-page-end-phone.png'))

        ended = teacher.ask('end')
        rows = ended['rows']
        check([r[0] for r in rows] == ['Ann Durand', 'Bob Martin', 'Chloé Leroy'], 'names in the window: %s' % rows)
        check([r[1] for r in rows] == ['4 / 4', '3 / 4', '2 / 4'], 'answers in the window: %s' % rows)
        check(all(r[2] == 'terminé' for r in rows), 'states in the window: %s' % rows)
        check(all(r[3].endswith('/ 20') for r in rows), 'marks in the window: %s' % rows)

        header, runs = results_rows(results)
        check(len(runs) == 3, 'runs in the results file: %d' % len(runs))
        for pupil in pupils:
            run = next(r for r in runs if pupil.name in r)
            answers = run[-QUESTIONS:]
            expected = [str(pupil.chosen.get(q, '')) for q in range(1, QUESTIONS + 1)]
            check(answers == expected, '%s: %s in the file, %s given' % (pupil.name, answers, expected))
            check('réseau' in run, '%s: the way the run was taken: %s' % (pupil.name, run))
        check(not os.path.exists(os.path.join(work, 'quiz-reseau.journal')), 'the journal was left')
    finally:
        for pupil in pupils:
            pupil.quit()
        teacher.quit()
        shutil.rmtree(work, ignore_errors=True)
    print('browser test passed in %.1f s' % (time.time() - started))
    return 0


if __name__ == '__main__':
    sys.exit(main())
