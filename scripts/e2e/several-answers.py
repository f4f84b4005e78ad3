#!/usr/bin/env python3
"""Runs inside the virtual X server (see run-several-answers.sh): a questionnaire with two
questions that have several right answers and one that has one, marked with partial credit,

1. answered at the class computer, in the full-screen pupils' window, with the keyboard only
   (number keys tick, Tab and the space bar too), driven with xdotool;
2. answered on a phone (Chromium's mobile emulation) through "Passation sur le réseau...": check
   boxes touched, number keys, the end page with the feedback of each answer ticked;

then the results file: each run's "Note" and its count of right questions. How the file writes
the ticked answers themselves is not looked at.

Exits 77 (skipped) when Chromium, its driver or Selenium is missing.

  several-answers.py <nelo-qcm> <scratch folder> [screenshots folder]
"""

import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tests', 'classroom'))

from network_browser_test import (CHROMEDRIVER, CHROMIUM, browser_tools_missing, check, load_script,  # noqa: E402
                                  results_rows)

network = load_script('network_session', os.path.join(HERE, 'network-session.py'))

PUPILS_WINDOW = '^Passation du questionnaire$'
TEACHER_CODE = 'prof1789'
# Answers "Réponse q.k"; question 1: right 2 and 4, a feedback on 3; question 2: right 3, a
# feedback on 1; question 3: right 1, 2 and 3 among four.
QUESTIONS = [
    ('Quels nombres sont pairs ?', ['REPONSE 2', 'Cochez toutes les bonnes réponses.', 'Correction :',
                                    'Bonnes réponses : 2, 4', 'Commentaire de la réponse 3 : sept est impair.',
                                    'Un nombre pair se termine par 0, 2, 4, 6 ou 8.']),
    ('Combien font 2 × 3 ?', ['REPONSE 3', 'Correction :', 'Commentaire de la réponse 1 : c\'est 2 + 3.',
                              'Deux fois trois font six.']),
    ('Quelles villes sont en France ?', ['REPONSE 1', 'Correction :', 'Bonnes réponses : 1, 2, 3',
                                         'Trois villes françaises.']),
]


def questionnaire():
    lines = ['PASSATION fin=corrections', 'PASSATION plusieurs=partiel']
    for n, (title, rest) in enumerate(QUESTIONS):
        lines += ['<BLOC%04d>' % n, 'TITLE ' + title, 'PICTURE ']
        lines += ['REP%d Réponse %d.%d' % (k, n + 1, k) for k in range(1, 5)] + ['REP5 ']
        lines += rest + ['</BLOC%04d>' % n]
    return '\r\n'.join(lines) + '\r\n'


def points(ticked):
    """Partial credit, as the settings say: 1/r for each right answer ticked, -1/w for each wrong
    one, never below 0; a one-answer question 1 for its right answer."""
    rights = [{2, 4}, {3}, {1, 2, 3}]
    total, right = 0.0, 0
    for given, solution in zip(ticked, rights):
        if len(solution) == 1:
            earned = 1.0 if given == solution else 0.0
        else:
            wrong = 4 - len(solution)
            earned = max(0.0, len(given & solution) / len(solution) - len(given - solution) / wrong)
        total += earned
        right += given == solution
    mark = int(total * 20 / len(rights) / 0.5 + 0.5 + 1e-9) * 0.5
    return ('%g' % mark).replace('.', ','), right


def shot(path):
    subprocess.run(['import', '-window', 'root', path], check=True)


def class_computer(program, screenshots):
    """One pupil at the class computer, keyboard only: 2 and 4 on question 1, 1 on question 2,
    then on question 3 the space bar on the first box, Tab, the space bar on the second."""
    program.keys(program.main, 'alt+q', 'c')
    code = program.window("^Code de l'enseignant$", 'the teacher\'s code asked for')
    time.sleep(0.3)
    program.type(code, TEACHER_CODE)
    program.keys(code, 'Tab')
    program.type(code, TEACHER_CODE)
    program.keys(code, 'Return')
    pupils = program.window(PUPILS_WINDOW, 'the pupils\' window')
    time.sleep(1)
    program.type(pupils, 'Léa Martin')
    program.keys(pupils, 'Return')
    time.sleep(0.5)
    program.keys(pupils, '2', '4')
    if screenshots:
        time.sleep(0.3)
        shot(os.path.join(screenshots, 'pupil-question-several-1366x768.png'))
    program.keys(pupils, 'Next', '1', 'Next', 'space', 'Tab', 'space')
    program.keys(pupils, 'alt+t')
    program.answer_box('"Terminer le questionnaire ?"')
    time.sleep(0.5)
    if screenshots:
        shot(os.path.join(screenshots, 'pupil-end-feedback.png'))
    # "Élève suivant" has the focus on the end page; then the teacher stops, with the code.
    program.keys(pupils, 'Return')
    time.sleep(0.5)
    geometry = dict(line.split('=') for line in
                    subprocess.run(['xdotool', 'getwindowgeometry', '--shell', pupils],
                                   capture_output=True, text=True).stdout.split())
    subprocess.run(['xdotool', 'mousemove', '--window', pupils, str(int(geometry['WIDTH']) - 90), '25', 'click', '1'])
    time.sleep(0.5)
    program.type(pupils, TEACHER_CODE)
    program.keys(pupils, 'Return')
    program.answer_box('the summary of the class run')
    return [{2, 4}, {1}, {1, 2}]


class MobilePhone(network.Phone):
    """A phone's browser: Chromium's mobile emulation, touch and a phone's screen."""

    def __init__(self):
        from network_identity_browser_test import Device
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--lang=fr'):
            options.add_argument(argument)
        options.add_experimental_option('mobileEmulation', {
            'deviceMetrics': {'width': 390, 'height': 701, 'pixelRatio': 1.0, 'touch': True},
            'userAgent': 'Mozilla/5.0 (Linux; Android 14; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) '
                         'Chrome/126.0 Mobile Safari/537.36'})
        device = Device.__new__(Device)
        device.name, device.address, device.chosen = '', '', {}
        device.browser = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.device = device


def boxes(device):
    return device.finds('#answers .check input')


def phone_session(program, screenshots):
    """One pupil on a phone: boxes 2 and 3 touched on question 1, answer 1 on question 2, the
    number keys 1, 2 and 3 on question 3; the end page shows each answer's feedback."""
    from selenium.webdriver.common.action_chains import ActionChains
    session = network.Session(program)
    phone = MobilePhone()
    try:
        device = phone.at(session, 'Noé Petit')
        device.join(session.code)
        check(device.visible('#several') and device.find('#several').text == 'Plusieurs réponses possibles',
              'question 1 does not say it has several answers')
        group = device.find('#answers')
        named = ' '.join(device.find('#' + part).text for part in group.get_attribute('aria-labelledby').split())
        check('Plusieurs réponses possibles' in named, 'the group of boxes is named "%s"' % named)
        check(len(boxes(device)) == 4 and not device.finds('#answers button'), 'question 1 shows no check boxes')
        for place in (2, 3):
            device.finds('#answers .check')[place - 1].click()
            device.wait(lambda: boxes(device)[place - 1].is_selected(), 'box %d ticked' % place)
        device.sent()
        if screenshots:
            device.browser.save_screenshot(os.path.join(screenshots, 'network-page-several-phone.png'))
        device.next()
        check(not device.visible('#several') and len(device.finds('#answers button')) == 4,
              'question 2, a one-answer question, shows check boxes')
        device.answer(1)
        device.next()
        ActionChains(device.browser).send_keys('1', '2', '3').perform()
        device.wait(lambda: [box.is_selected() for box in boxes(device)] == [True, True, True, False],
                    'boxes 1 to 3 ticked with the number keys')
        device.sent()
        # The ticks come back from the server with the question.
        device.finds('#strip button')[0].click()
        device.wait(lambda: device.number() == 1 and [b.is_selected() for b in boxes(device)] == [False, True, True, False],
                    'question 1 again, boxes 2 and 3 ticked')
        device.finish()
        text = device.find('#end-page').text
        for expected in ('Vos réponses : « Réponse 1.2 » et « Réponse 1.3 »',
                         'Bonnes réponses : « Réponse 1.2 » et « Réponse 1.4 »',
                         '« Réponse 1.3 » : sept est impair.',
                         '« Réponse 2.1 » : c\'est 2 + 3.',
                         'Vos réponses, justes : « Réponse 3.1 », « Réponse 3.2 » et « Réponse 3.3 »'):
            check(expected in text, 'the end page lacks "%s": %s' % (expected, text[:600]))
        check('Commentaire de la réponse' not in text and 'Bonnes réponses : 2' not in text,
              'the end page shows the file\'s lines: %s' % text[:600])
        if screenshots:
            device.browser.execute_script('window.scrollTo(0, 0)')
            device.browser.save_screenshot(os.path.join(screenshots, 'network-page-end-feedback-phone.png'))
        session.end(kept=True)
    finally:
        phone.device.quit()
    return [{2, 3}, {1}, {1, 2, 3}]


def main():
    executable, work = sys.argv[1:3]
    screenshots = sys.argv[3] if len(sys.argv) > 3 else None
    missing = browser_tools_missing()
    if missing:
        print(missing)
        return 77
    started = time.time()
    qcm = os.path.join(work, 'quiz.qcm')
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write(questionnaire())
    results = os.path.join(work, 'quiz-resultats.csv')
    program = network.Program(executable, qcm)
    try:
        given = [('Léa Martin', class_computer(program, screenshots))]
        print('class computer: answered with the keyboard (%.1f s)' % (time.time() - started))
        given.append(('Noé Petit', phone_session(program, screenshots)))
        print('phone: check boxes, number keys and the feedback (%.1f s)' % (time.time() - started))
        program.quit_with('alt+x')
    except Exception:
        network.keep_failure_screen('several')
        raise
    finally:
        program.quit()

    header, rows = results_rows(results)
    check(len(rows) == 2, 'runs in the results file: %s' % rows)
    mark_column = header.index('Note')
    right_column = header.index('Justes') if 'Justes' in header else header.index('Bonnes réponses')
    for (pupil, ticked), row in zip(given, rows):
        mark, right = points(ticked)
        check(pupil in row, 'the row of %s: %s' % (pupil, row))
        check(row[mark_column] == mark and row[right_column] == str(right),
              '%s: mark %s and %s right in the file, %s and %d expected' % (pupil, row[mark_column], row[right_column],
                                                                          mark, right))
    print('several answers at the class computer and on a phone passed in %.1f s' % (time.time() - started))
    return 0


if __name__ == '__main__':
    sys.exit(main())
