#pragma once

#include "app/mainform.h"
#include "app/workspace.h"
#include "document/qcmformat.h"
#include "scriptedservices.h"

#include <QAction>
#include <QByteArray>
#include <QtTest>

// A questionnaire file of `count` questions "Titre n", answers "n-1" to "n-5", right answer
// `rightAnswer`, one line of free text, as the program writes it.
inline QByteArray questionnaireBytes(int count, int rightAnswer = 1)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        bytes += QcmFormat::openingTag(i).toLatin1() + "\r\nTITLE Titre " + n + "\r\nPICTURE \r\n";
        for (int a = 1; a <= 5; ++a)
            bytes += "REP" + QByteArray::number(a) + " " + n + "-" + QByteArray::number(a) + "\r\n";
        bytes += "REPONSE " + QByteArray::number(rightAnswer) + "\r\nTexte " + n + "\r\n"
            + QcmFormat::closingTag(i).toLatin1() + "\r\n";
    }
    return bytes;
}

// The program's windows on scripted services, its commands reached by their menu captions.
struct MenuProgram : ScriptedServices
{
    Workspace workspace{services};

    TMainForm &form() { return workspace.mainForm; }
    TPlanche &sheet() { return *workspace.sheet; }
    // Triggers the menu item of that caption, which must be enabled.
    void trigger(const QString &text)
    {
        for (QAction *action : form().findChildren<QAction *>()) {
            if (action->text() == text) {
                QVERIFY(action->isEnabled());
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable(text));
    }
};
