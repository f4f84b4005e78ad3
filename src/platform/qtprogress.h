#pragma once

#include "platform/progress.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// A modal progress dialog with an "Annuler" button, shown only when the task lasts: a short
// task never flashes a window. While it is shown, each step lets the window system draw and
// take the click on "Annuler", a few times a second, so nothing looks frozen.
class QtProgress : public Progress
{
public:
    explicit QtProgress(QWidget *parent = nullptr);
    ~QtProgress() override;

    void setParent(QWidget *parent) { m_parent = parent; }
    void begin(const QString &label, qint64 total) override;
    bool advance(qint64 done) override;
    void end() override;

private:
    QWidget *m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
    qint64 m_total = 0;
};
