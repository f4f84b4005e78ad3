#!/usr/bin/env python3
"""Writes the quiz-bank seeds of realistic size into fuzz/corpus: a GIFT and an Aiken bank of
10,000 questions, and a Moodle XML bank with a picture per question and deeply nested markup.
Each stays under 1 MB, so that libFuzzer's mutations still run many times a minute; together
they hold what once made the readers quadratic (lone "<" and "&" in HTML, many pictures under
one name) or overflow the stack (thousands of nested elements)."""

import base64
import pathlib

CORPUS = pathlib.Path(__file__).resolve().parent.parent / "corpus"
QUESTIONS = 10_000


def gift():
    out = []
    for n in range(1, QUESTIONS + 1):
        if n % 10 == 0:
            out.append(f"// image : image.png\n::Q{n}::[html]<p>Quelle ville, {n} < 2 & 3 ?</p>"
                       f"{{=Paris#Oui ~Lyon ~Nice ####Voir.}}\n\n")
        else:
            out.append(f"Question {n} ? {{=oui ~non}}\n\n")
    return "".join(out).encode()


def aiken():
    return "".join(f"Q{n} ?\nA. a\nB. b\nANSWER: {'AB'[n % 2]}\n\n" for n in range(1, QUESTIONS + 1)).encode()


def moodle_xml():
    depth = 8_000
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n<quiz>\n']
    for n in range(1, 1_500 + 1):
        picture = base64.b64encode(b"\x89PNG\r\n\x1a\n" + str(n).encode() * 4).decode()
        out.append(
            f'<question type="multichoice"><name><text>Q{n}</text></name><questiontext format="html"><text>'
            f'&lt;p&gt;Q{n} 1 &lt; 2 &amp;&lt;/p&gt;&lt;img src="@@PLUGINFILE@@/image.png"&gt;</text>'
            f'<file name="image.png" encoding="base64">{picture}</file></questiontext>'
            f'<answer fraction="100"><text>a</text></answer><answer fraction="0"><text>b</text></answer>'
            f'</question>\n')
    out.append('<question type="multichoice"><questiontext><text>Q</text></questiontext>'
               '<answer fraction="100"><text>a</text><feedback><text>f</text>'
               + "<feedback>" * depth + "</feedback>" * depth + '</feedback></answer>'
               '<answer fraction="0"><text>b</text></answer></question>\n</quiz>\n')
    return "".join(out).encode()


for folder, name, data in (("gift_read", "bank-10000.gift", gift()),
                           ("aiken_read", "bank-10000.txt", aiken()),
                           ("moodlexml_read", "bank-pictures-nested.xml", moodle_xml())):
    assert len(data) <= 1 << 20, name
    (CORPUS / folder / name).write_bytes(data)
    print(f"{folder}/{name}: {len(data)} bytes")
