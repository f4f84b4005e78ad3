#!/usr/bin/env python3
"""Runs inside the virtual X server (see run-network-session.sh): the real program and its
"Passation sur le réseau..." window, driven with xdotool as a teacher would, and pupils in real
browsers (Debian's Chromium, headless, through Selenium).

1. Two devices ask for the same name; the teacher clicks "Reprendre sur cet appareil" in the
   window's table; the answers continue on the second device; after "Terminer la passation"
   the results file holds one row for that pupil.
2. With a class list, the personal codes sheet is printed through the real print dialog into a
   PDF; the codes read back from it let the pupils join, and no page learns a name.
3. "Corrections montrées : À la fin de la passation" chosen in "Réglages de la passation...":
   neither the pages nor the answers they receive hold a correction until the teacher clicks
   "Montrer les corrections"; then they come.

The pupils' browsers are those of the browser tests in tests/classroom. The address and the
code the window shows are read from the session's journal, which the window writes them into:
xdotool sees windows, not the text of their labels.

Exits 77 (skipped) when Chromium, its driver, Selenium or Pillow is missing.

  network-session.py <nelo-qcm> <scratch folder>
"""

import io
import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tests', 'classroom'))

from network_browser_test import browser_tools_missing, QUESTIONS, check, questionnaire, results_rows  # noqa: E402

CLASS = '4e B'
CLASS_PUPILS = ['DURAND Ann', 'MARTIN Bob']
SESSION_WINDOW = '^Passation sur le réseau$'
BOX = '^Nelo Qcm$'
PRINT_DIALOG = '^(Imprimer|Print)$'

# Keeps every answer of the session's API the page receives, across reloads of the page: what
# reached the device, whether it showed it or not.
RECORDER = """
(() => {
  const key = 'nelo-e2e-api';
  const original = window.fetch;
  const note = (path, status, body) => {
    const seen = JSON.parse(sessionStorage.getItem(key) || '[]');
    seen.push({path: path, status: status, body: body, at: Date.now()});
    sessionStorage.setItem(key, JSON.stringify(seen));
  };
  window.fetch = async function (input, init) {
    let response;
    try {
      response = await original.apply(this, arguments);
    } catch (e) {
      note(String(input), 0, '');
      throw e;
    }
    try {
      note(String(input), response.status, await response.clone().text());
    } catch (e) { /* not for the record */ }
    return response;
  };
})();
"""


def until(condition, what, seconds=30.0):
    """Polls `condition` until it gives something true, which it returns."""
    end = time.time() + seconds
    while True:
        try:
            found = condition()
        except Exception:  # a window closing under xdotool, a page between two states
            found = None
        if found:
            return found
        if time.time() > end:
            raise AssertionError('%s never came (waited %.0f s)' % (what, seconds))
        time.sleep(0.1)


def keep_class_list(name, lines):
    """A class list kept from an earlier day, where and as the program keeps them: a pupil a
    line, a tabulation before his extra time."""
    classes = os.path.join(os.environ['XDG_DATA_HOME'], 'Nelo Qcm', 'classes')
    os.makedirs(classes, exist_ok=True)
    with open(os.path.join(classes, name.replace(' ', '%20') + '.classe'), 'w', encoding='utf-8') as file:
        file.write(''.join(line + '\n' for line in lines))


def keep_failure_screen(name):
    """The virtual screen as it stood when a run failed, kept in the temporary folder."""
    shot = os.path.join(tempfile.gettempdir(), 'nelo-e2e-%s-failure.png' % name)
    subprocess.run(['import', '-window', 'root', shot])
    print('the screen at the failure: %s' % shot)


def xdotool(*arguments):
    return subprocess.run(['xdotool'] + list(arguments), capture_output=True, text=True).stdout.split()


class Program:
    """The real nelo-qcm on the questionnaire, and its windows found by their titles."""

    def __init__(self, executable, qcm):
        self.qcm = qcm
        self.folder = os.path.dirname(qcm)
        self.process = subprocess.Popen([executable, os.path.basename(qcm)], cwd=self.folder,
                                        env=dict(os.environ, QT_QPA_PLATFORM='xcb'))
        self.main = self.window('^Nelo Qcm - ', 'the main window')

    def window(self, title, what, seconds=30.0):
        return until(lambda: (xdotool('search', '--onlyvisible', '--name', title) or [None])[0], what, seconds)

    def gone(self, window, title, what):
        # Seen gone twice in a row: a search cut short by another window closing misses it too.
        absent = [0]

        def away():
            absent[0] = 0 if window in xdotool('search', '--onlyvisible', '--name', title) else absent[0] + 1
            return absent[0] >= 2
        until(away, '%s closing' % what, 10)

    def keys(self, window, *keys):
        xdotool('windowfocus', '--sync', window)
        for key in keys:
            xdotool('key', '--clearmodifiers', key)
            time.sleep(0.2)

    def type(self, window, text):
        xdotool('windowfocus', '--sync', window)
        xdotool('type', '--delay', '10', text)

    def answer_box(self, what, key='Return'):
        """The program's question or message box (its default button pressed)."""
        box = self.window(BOX, what)
        time.sleep(0.2)
        self.keys(box, key)
        self.gone(box, BOX, what)

    def screenshot(self, window='root'):
        shot = subprocess.run(['import', '-window', window, 'png:-'], capture_output=True, check=True).stdout
        from PIL import Image
        return Image.open(io.BytesIO(shot)).convert('RGB')

    def journal(self):
        path = os.path.join(self.folder, os.path.splitext(os.path.basename(self.qcm))[0] + '-reseau.journal')
        with open(path, encoding='utf-8', errors='replace') as file:
            return [json.loads(line) for line in file if line.endswith('\n')]

    def quit_with(self, *keys):
        """Quits by the main window's keys ("alt+x"), and waits until the program is gone."""
        self.keys(self.main, *keys)
        until(lambda: self.process.poll() is not None, 'the program quitting', 10)

    def quit(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Session:
    """"Passation sur le réseau..." opened from the menu: its window, and what it shows the
    pupils (the address and the code, read back from the session's journal, where the window
    took them)."""

    def __init__(self, program):
        self.program = program
        program.keys(program.main, 'alt+q', 'p')
        self.window = program.window(SESSION_WINDOW, '"Passation sur le réseau..." and its window')

        def listening():
            records = program.journal()
            return records if any(r.get('k') == 'address' and r.get('port') for r in records) else None
        journal = until(listening, 'the session listening')
        self.start = journal[0]
        place = [r for r in journal if r.get('k') == 'address'][-1]
        self.address = 'http://%s:%d/' % (place['address'], place['port'])
        self.code = self.start['code']

    def press(self, key):
        self.program.keys(self.window, key)

    def take_over(self):
        """Clicks "Reprendre sur cet appareil" in the table, as the teacher does. The button sits
        left of "Refuser", which Shift+Tab from the network box reaches: the one frame that
        differs from both neighbours' focus is Refuser's."""
        from PIL import ImageChops

        def changed(a, b):
            return ImageChops.difference(a, b).convert('L').point(lambda v: 255 if v else 0)

        def refuse_frame():
            program = self.program
            self.press('alt+r')
            before = program.screenshot(self.window)
            self.press('shift+Tab')
            focused = program.screenshot(self.window)
            self.press('alt+l')
            after = program.screenshot(self.window)
            frame = ImageChops.multiply(changed(before, focused), changed(after, focused)).getbbox()
            # A button's frame, not the table repainted meanwhile by a pupil's answer.
            if frame and 10 <= frame[3] - frame[1] <= 60 and 30 <= frame[2] - frame[0] <= 300:
                return frame
            return None
        left, top, _, bottom = until(refuse_frame, 'the focus frame of "Refuser" (Shift+Tab from the network box)', 20)
        xdotool('mousemove', '--window', self.window, str(left - 15), str((top + bottom) // 2), 'click', '1')

    def end(self, kept):
        """"Terminer la passation", yes; "Fermer"; the box that says where the copies went."""
        self.press('alt+t')
        self.program.answer_box('"Terminer la passation ?"')
        self.press('alt+f')
        self.program.gone(self.window, SESSION_WINDOW, 'the session window')
        if kept:
            self.program.answer_box('where the copies went')


class Phone:
    """A pupil's browser, kept from one session to the next, recording what the API sends it."""

    def __init__(self):
        from network_identity_browser_test import Device
        self.device = Device('', '')
        self.device.browser.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': RECORDER})

    def at(self, session, name):
        """A new session: the page's storage of the last one forgotten, as on a fresh device."""
        device = self.device
        device.browser.get(session.address + 'page.css')
        device.browser.execute_script('localStorage.clear(); sessionStorage.clear();')
        device.address, device.name, device.chosen = session.address, name, {}
        return device


def api_seen(device):
    return json.loads(device.browser.execute_script("return sessionStorage.getItem('nelo-e2e-api') || '[]'"))


def corrections_in(device):
    """What of a correction reached the device: in the page, or in an answer of the API."""
    found = []
    source = device.browser.page_source
    for text in ('Explication', 'Bonne réponse', 'réponse, juste'):
        if text in source:
            found.append('page: ' + text)
    for seen in api_seen(device):
        body = seen['body']
        try:
            result = json.loads(body).get('result') or {}
        except ValueError:
            result = {}
        if 'Explication' in body or result.get('corrections'):
            found.append('%s: %s' % (seen['path'], body[:200]))
    return found


def answer_all(device):
    for n in range(QUESTIONS):
        if 'answered' not in (device.strip()[n] or ''):
            device.answer(1 + n % 3)
        if n + 1 < QUESTIONS:
            device.next()
    device.sent()


def new_rows(results, before):
    _, runs = results_rows(results) if os.path.exists(results) else (None, [])
    return runs[before:]


def take_over_session(program, phones, results):
    session = Session(program)
    first, second = phones[0].at(session, 'NGUYEN Hugo'), phones[1].at(session, 'NGUYEN Hugo')
    first.join(session.code)
    first.answer(1)
    first.next()
    first.answer(2)
    first.sent()
    given = dict(first.chosen)

    second.ask_for(session.code, name='nguyen hugo')
    second.wait(lambda: second.visible('#waiting-page'), 'the waiting page')
    check(second.find('#waiting-title').text == 'Demande envoyée au professeur', second.find('#waiting-title').text)
    session.take_over()
    second.wait(lambda: second.visible('#question-page'), 'the copy on the second device')
    second.wait(lambda: second.strip().count('answered') == 2, 'the two answers on the second device')
    check(any(r.get('k') == 'move' for r in program.journal()), 'the take-over is not in the journal')
    first.find('#next').click()
    first.wait(lambda: first.visible('#end-page'), 'the first page turned away')
    check(first.find('#end-title').text == 'Copie reprise sur un autre appareil', first.find('#end-title').text)

    second.chosen = given
    second.finds('#strip button')[0].click()
    second.wait(lambda: second.number() == 1, 'the first question on the second device')
    answer_all(second)
    second.finish()
    session.end(kept=True)

    rows = new_rows(results, 0)
    check(len(rows) == 1 and 'NGUYEN Hugo' in rows[0], 'rows in the results file: %s' % rows)
    expected = [str(second.chosen.get(q, '')) for q in range(1, QUESTIONS + 1)]
    check(rows[0][-QUESTIONS:] == expected, 'Hugo: %s in the file, %s given' % (rows[0][-QUESTIONS:], expected))
    check('terminé' in rows[0], 'Hugo\'s copy is not finished: %s' % rows[0])
    return len(rows)


def print_codes(program, session, pdf):
    """"Codes personnels..." through the real print dialog: "Imprimer dans un fichier (PDF)",
    the last printer of its list, into `pdf`."""
    session.press('alt+p')
    # Qt's own title, in French when its translations are installed.
    dialog = program.window(PRINT_DIALOG, 'the print dialog of the personal codes')
    time.sleep(0.3)
    program.keys(dialog, 'alt+n', 'End', 'alt+f', 'ctrl+a')
    program.type(dialog, pdf)
    program.keys(dialog, 'Return')
    program.gone(dialog, PRINT_DIALOG, 'the print dialog')
    program.answer_box('where the PDF went')
    until(lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 0, 'the PDF of the codes', 10)


def personal_codes_session(program, phones, results, before, work):
    from network_identity_browser_test import codes_of
    session = Session(program)
    session.press('alt+l')
    session.press('Down')
    until(lambda: any(r.get('class') == CLASS for r in program.journal()[1:]), 'the class list chosen', 10)
    pdf = os.path.join(work, 'codes-4e-B.pdf')
    print_codes(program, session, pdf)
    codes = codes_of(pdf, CLASS_PUPILS)

    ann, bob = phones[0].at(session, CLASS_PUPILS[0]), phones[1].at(session, CLASS_PUPILS[1])
    # Typed as a pupil might: small letters, a dash for the space.
    ann.ask_for(session.code, personal=codes[ann.name].lower().replace(' ', '-'))
    ann.wait(lambda: ann.visible('#question-page'), 'the first question with a personal code')
    bob.ask_for(session.code, personal=codes[bob.name])
    bob.wait(lambda: bob.visible('#question-page'), 'the first question with a personal code')
    for device in (ann, bob):
        # Whoever has the session's code learns no name of the class, and a pupil no other's.
        seen = api_seen(device)
        told = ' '.join(s['body'] for s in seen if s['path'] == '/api/session')
        check('"codes":true' in told and not any(name.split()[0] in told for name in CLASS_PUPILS),
              '%s: the session told names under personal codes: %s' % (device.name, told[:300]))
        other = next(name for name in CLASS_PUPILS if name != device.name)
        check(not any(other.split()[0] in s['body'] for s in seen), '%s learnt %s' % (device.name, other))
        device.answer(1)
        device.sent()
        device.finish()
        check(device.name in device.find('#end-message').text, device.find('#end-message').text)
    session.end(kept=True)

    rows = new_rows(results, before)
    check(len(rows) == 2 and all(name in row for name, row in zip(CLASS_PUPILS, rows)),
          'rows of the session with personal codes: %s' % rows)
    return before + len(rows)


def corrections_at_end_session(program, phones, results, before):
    # "Réglages de la passation...": "Corrections montrées" one down, "À la fin de la passation".
    program.keys(program.main, 'alt+q', 'r')
    settings = program.window('^Réglages de la passation$', 'the settings dialog')
    time.sleep(0.3)
    program.keys(settings, 'alt+c', 'Down', 'Return')
    program.gone(settings, '^Réglages de la passation$', 'the settings dialog')
    session = Session(program)
    check('PASSATION corrections=fin-passation' in session.start['lines'],
          'the session began without the corrections kept for the end: %s' % session.start['lines'][:6])

    ann, bob = phones[0].at(session, 'Ann Durand'), phones[1].at(session, 'Bob Martin')
    for device in (ann, bob):
        device.join(session.code)
    answer_all(ann)
    bob.answer(2)
    bob.sent()
    ann.finish()
    check('Note :' in ann.find('#end-page').text, 'Ann\'s end page: %s' % ann.find('#end-page').text[:200])
    check(ann.visible('#end-later'), 'Ann is not told the corrections come later')
    for device in (ann, bob):
        found = corrections_in(device)
        check(not found, 'a correction reached %s while a classmate answers: %s' % (device.name, found))

    # A classmate picks up Ann's phone and reloads the end page; the page asks the server again
    # a moment later, and still learns nothing.
    reloaded = time.time() * 1000
    ann.browser.refresh()
    ann.wait(lambda: ann.visible('#end-page') and 'Note :' in ann.find('#end-page').text, 'the end page again')
    # Where the run stands, on reloading; then the first look for the corrections.
    try:
        until(lambda: len([s for s in api_seen(ann) if s['path'] == '/api/state' and s['at'] >= reloaded]) >= 2,
              'the end page asking again for the corrections', 20)
    except AssertionError:
        print('what the page received: %s, reloaded at %d, now %d'
              % ([(s['path'], s['status'], s['at']) for s in api_seen(ann)][-12:], reloaded, time.time() * 1000))
        raise
    found = corrections_in(ann)
    check(not found, 'a correction reached Ann after reloading her end page: %s' % found)

    session.press('alt+c')
    program.answer_box('"Montrer les corrections aux élèves qui ont terminé ?"')
    ann.wait(lambda: 'Explication 1' in ann.find('#end-page').text, 'the corrections once shown', seconds=20)
    check(not ann.visible('#end-later'), 'Ann is still told the corrections come later')
    check(corrections_in(ann), 'the corrections shown reached Ann neither in her page nor from the API')
    found = corrections_in(bob)
    check(not found, 'a correction reached Bob still answering: %s' % found)
    bob.finish()
    check('Explication 1' in bob.find('#end-page').text, 'Bob\'s end page: %s' % bob.find('#end-page').text[:200])
    session.end(kept=True)

    rows = new_rows(results, before)
    check(len(rows) == 2, 'rows of the session with corrections at the end: %s' % rows)


def main():
    executable, work = sys.argv[1:3]
    missing = browser_tools_missing()
    if missing:
        print(missing)
        return 77
    started = time.time()
    qcm = os.path.join(work, 'quiz.qcm')
    with open(qcm, 'w', encoding='cp1252', newline='') as file:
        file.write(questionnaire('drapeau-france.bmp'))
    keep_class_list(CLASS, CLASS_PUPILS)
    results = os.path.join(work, 'quiz-resultats.csv')

    program = Program(executable, qcm)
    phones = []
    try:
        phones = [Phone(), Phone()]
        kept = take_over_session(program, phones, results)
        print('take-over: one row for the pupil (%.1f s)' % (time.time() - started))
        kept = personal_codes_session(program, phones, results, kept, work)
        print('personal codes: read from the printed sheet, both pupils kept (%.1f s)' % (time.time() - started))
        corrections_at_end_session(program, phones, results, kept)
        print('corrections at the end: none before the teacher showed them (%.1f s)' % (time.time() - started))
        # The settings changed the questionnaire: saved, then the program quits without asking.
        program.quit_with('ctrl+s', 'alt+x')
    except Exception:
        keep_failure_screen('network')
        raise
    finally:
        for phone in phones:
            phone.device.quit()
        program.quit()
    print('network session with the real program passed in %.1f s' % (time.time() - started))
    return 0


if __name__ == '__main__':
    sys.exit(main())
