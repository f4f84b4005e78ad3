#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

// Gives the keyboard focus back to the field that had it when any modal window (message box,
// file dialog, runner, accessory, list) closes, for every such window of the program, those
// made later included. Whoever keeps the program's windows makes one for their lifetime.
class FocusReturn : public QObject
{
    Q_OBJECT

public:
    explicit FocusReturn(QObject *parent = nullptr);
    ~FocusReturn() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The field that had the focus when each modal window still open was shown.
    QHash<const QWidget *, QPointer<QWidget>> m_focusBefore;
};
