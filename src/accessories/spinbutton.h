#pragma once

#include <QWidget>

class QToolButton;

// Two arrows stacked, stepping a value without showing it. A click on an arrow steps once, on
// release over it; held down, the arrow steps again after 400 ms and then every 100 ms. With
// the keyboard focus, the Up and Down keys step.
class SpinButton : public QWidget
{
    Q_OBJECT

public:
    explicit SpinButton(QWidget *parent = nullptr);

    QToolButton *upArrow() const { return m_up; }
    QToolButton *downArrow() const { return m_down; }

Q_SIGNALS:
    void upClick();
    void downClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *makeArrow(Qt::ArrowType arrow, const QString &name);

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};
