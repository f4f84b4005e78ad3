#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

// Acts on a modal dialog from inside its exec(): `act` runs once the dialog shows. A dialog that
// never shows within a few seconds leaves `act` unrun, and the test sees the dialog untouched;
// one that `act` left open (a failed check inside it) is cancelled, so the test goes on.
inline void whenShown(QDialog *dialog, std::function<void()> act)
{
    auto *timer = new QTimer(dialog);
    timer->setInterval(10);
    auto tries = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, dialog, [dialog, timer, act = std::move(act), tries] {
        if (!dialog->isVisible() && --*tries > 0)
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog->isVisible())
            act();
        if (dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}

// Acts on the next modal window of type T, one the command makes for itself (so the test holds
// no pointer to it), from inside its own event loop. Gives up after a few seconds like
// whenShown, so a window that never comes cannot be acted on by a later test.
template <typename T>
void whenModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(10);
    auto tries = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act), tries] {
        T *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window && --*tries > 0)
            return;
        timer->stop();
        timer->deleteLater();
        if (window)
            act(window);
    });
    timer->start();
}
