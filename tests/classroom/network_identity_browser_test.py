#!/usr/bin/env python3
"""Who answered, in real browsers (Debian's Chromium, headless, through Selenium) against the
session window run by its driver.

First run: Hugo answers on one browser; a second browser asks for the same name and waits on
"Demande envoyée au professeur"; the teacher lets it take over; the answers continue there, the
first page says the copy moved, and the results file holds one row for Hugo.
Second run, with personal codes: the sheet is printed into a PDF and the codes are read back
from it; the name page asks for a code and the class list's names never reach a page; a second
device typing a code already in use waits and is refused; each pupil's row has his name.

Exits 77 (skipped) when Chromium or its driver is not installed.

  network_identity_browser_test.py --driver nelo-network-session-driver --examples examples [--screenshots DIR]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from network_browser_test import CHROMIUM, CHROMEDRIVER, QUESTIONS, Pupil, Teacher, check, questionnaire, results_rows


class Device(Pupil):
    """A pupil's browser that also asks for a name already taken, or types a personal code."""

    def ask_for(self, code, name=None, personal=None, shot=None):
        self.browser.get(self.address)
        self.wait(lambda: self.visible('#code-page'), 'the code page')
        self.find('#code').send_keys(code)
        self.find('#code-form button').click()
        self.wait(lambda: self.visible('#name-page'), 'the name page')
        if personal is not None:
            check(self.visible('#personal') and not self.visible('#name-list') and not self.visible('#name'),
                  '%s: the name page does not ask for the personal code' % self.name)
            self.find('#personal').send_keys(personal)
        else:
            self.find('#name').send_keys(name)
        if shot:
            phone(self, shot)
        self.find('#name-form button').click()

    def strip(self):
        return [b.get_attribute('class') for b in self.finds('#strip button')]


def phone(device, path):
    device.browser.set_window_size(390, 844)
    time.sleep(0.3)
    device.browser.save_screenshot(path)
    device.browser.set_window_size(1280, 800)


def codes_of(pdf, names):
    """The codes printed on the sheet, by pupil: the only place they exist in clear."""
    text = subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True, text=True, check=True).stdout
    found = {}
    for name in names:
        match = re.search(re.escape(name) + r'\s.*?\b([A-Z2-9]{3} [A-Z2-9]{3})\b', text, re.S)
        check(match, 'no code for %s on the sheet: %s' % (name, text[:400]))
        found[name] = match.group(1)
    return found


def take_over_run(args, work, qcm):
    results = os.path.join(work, 'quiz-resultats.csv')
    teacher = Teacher(args.driver, qcm, results)
    devices = []
    try:
        first = Device('NGUYEN Hugo', teacher.address)
        second = Device('NGUYEN Hugo', teacher.address)
        devices = [first, second]
        first.join(teacher.code)
        first.answer(1)
        first.next()
        first.answer(2)
        first.sent()
        before = dict(first.chosen)

        # A second device asks for the same name: it waits, and learns nothing of the copy.
        second.ask_for(teacher.code, name='nguyen hugo')
        second.wait(lambda: second.visible('#waiting-page'), 'the waiting page')
        check(second.find('#waiting-title').text == 'Demande envoyée au professeur', second.find('#waiting-title').text)
        check('Question' not in second.find('#question-page').get_attribute('textContent') or
              not second.visible('#question-page'), 'a question shown while waiting')
        table = teacher.ask('table')['rows']
        check(len(table) == 2 and table[1][0] == 'NGUYEN Hugo : un autre appareil demande cette copie',
              'the request in the table: %s' % table)
        if args.screenshots:
            phone(second, os.path.join(args.screenshots, 'network-page-waiting-phone.png'))
            teacher.ask('shot ' + os.path.join(args.screenshots, 'network-session-take-over.png'))

        # Taken over: the copy continues on the second device with both answers.
        rows = teacher.ask('takeover')['rows']
        check(len(rows) == 1 and rows[0][1] == '2 / %d' % QUESTIONS, 'the table after the take-over: %s' % rows)
        second.wait(lambda: second.visible('#question-page'), 'the copy on the second device')
        second.wait(lambda: second.strip().count('answered') == 2, 'the two answers on the second device')
        # The first device is told at its next request, and nothing it sends counts any more.
        first.find('#next').click()
        first.wait(lambda: first.visible('#end-page'), 'the first page turned away')
        check(first.find('#end-title').text == 'Copie reprise sur un autre appareil', first.find('#end-title').text)
        if args.screenshots:
            phone(first, os.path.join(args.screenshots, 'network-page-moved-phone.png'))
        check(teacher.ask('table')['rows'][0][1] == '2 / %d' % QUESTIONS, 'an answer of the first device counted')

        second.chosen = dict(before)
        second.finds('#strip button')[0].click()
        second.wait(lambda: second.number() == 1, 'the first question on the second device')
        for n in range(QUESTIONS):
            if 'answered' not in (second.strip()[n] or ''):
                second.answer(1)
            if n + 1 < QUESTIONS:
                second.next()
        second.sent()
        second.finish()

        ended = teacher.ask('end')['rows']
        check([r[0] for r in ended] == ['NGUYEN Hugo'] and ended[0][2] == 'terminé', 'the table at the end: %s' % ended)
        _, runs = results_rows(results)
        check(len(runs) == 1 and 'NGUYEN Hugo' in runs[0], 'rows in the results file: %s' % runs)
        answers = runs[0][-QUESTIONS:]
        expected = [str(second.chosen.get(q, '')) for q in range(1, QUESTIONS + 1)]
        check(answers == expected, 'Hugo: %s in the file, %s given' % (answers, expected))
    finally:
        for device in devices:
            device.quit()
        teacher.quit()


def personal_codes_run(args, work, qcm):
    results = os.path.join(work, 'quiz-codes-resultats.csv')
    teacher = Teacher(args.driver, qcm, results)
    devices = []
    names = ['DURAND Ann', 'MARTIN Bob']
    try:
        teacher.ask('class 4e B\t' + '\t'.join(names))
        pdf = os.path.join(args.screenshots or work, 'network-personal-codes.pdf')
        check(teacher.ask('codes ' + pdf)['codes'], 'the session does not ask for the codes')
        codes = codes_of(pdf, names)
        if args.screenshots:
            subprocess.run(['pdftoppm', '-png', '-r', '60', '-singlefile', pdf,
                            os.path.join(args.screenshots, 'network-personal-codes')], check=True)
            os.remove(pdf)

        ann = Device('DURAND Ann', teacher.address)
        other = Device('someone else', teacher.address)
        bob = Device('MARTIN Bob', teacher.address)
        devices = [ann, other, bob]
        ann.ask_for(teacher.code, personal=codes['DURAND Ann'].lower().replace(' ', '-'),
                    shot=os.path.join(args.screenshots, 'network-page-personal-code-phone.png') if args.screenshots else None)
        ann.wait(lambda: ann.visible('#question-page'), 'the first question with a personal code')
        # Whoever has the session's code reads no name of the class.
        source = ann.browser.execute_async_script(
            "const done = arguments[arguments.length - 1]; fetch('/api/session', {method: 'POST', headers: "
            "{'Content-Type': 'application/json'}, body: JSON.stringify({code: '%s'})}).then(r => r.text())"
            ".then(done);" % teacher.code)
        check('"codes":true' in source and 'DURAND' not in source and 'MARTIN' not in source,
              '/api/session under personal codes: %s' % source)

        # Ann's code on another device: it waits, and the teacher refuses.
        other.ask_for(teacher.code, personal=codes['DURAND Ann'])
        other.wait(lambda: other.visible('#waiting-page'), 'the waiting page')
        check(teacher.ask('refuse')['clicked'], 'no request in the table')
        other.wait(lambda: other.visible('#name-page') and other.find('#name-error').text, 'the refusal')

        bob.ask_for(teacher.code, personal=codes['MARTIN Bob'])
        bob.wait(lambda: bob.visible('#question-page'), 'Bob\'s first question')
        for device in (ann, bob):
            device.answer(1)
            device.sent()
            device.finish()
            check(device.name in device.find('#end-message').text, device.find('#end-message').text)
        rows = teacher.ask('end')['rows']
        check([r[0] for r in rows] == names, 'the table with personal codes: %s' % rows)
        _, runs = results_rows(results)
        check(sorted(r for run in runs for r in run if r in names) == names, 'rows in the results file: %s' % runs)
    finally:
        for device in devices:
            device.quit()
        teacher.quit()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--driver', required=True)
    parser.add_argument('--examples', required=True)
    parser.add_argument('--screenshots')
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
    work = tempfile.mkdtemp(prefix='nelo-identity-')
    try:
        shutil.copy(os.path.join(args.examples, 'drapeau-france.bmp'), work)
        qcm = os.path.join(work, 'quiz.qcm')
        with open(qcm, 'w', encoding='cp1252', newline='') as file:
            file.write(questionnaire('drapeau-france.bmp'))
        take_over_run(args, work, qcm)
        personal_codes_run(args, work, qcm)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print('identity browser test passed in %.1f s' % (time.time() - started))
    return 0


if __name__ == '__main__':
    sys.exit(main())
