#pragma once

#include "app/mainform.h"
#include "app/workspace.h"
#include "scriptedservices.h"

#include <QAction>
#include <QtTest>

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
