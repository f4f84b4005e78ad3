#include "platform/firstshow.h"

#include <QEvent>
#include <QWidget>

namespace {

class FirstShow : public QObject
{
public:
    FirstShow(QWidget *widget, std::function<void()> act) : QObject(widget), m_widget(widget), m_act(std::move(act))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Show) {
            m_widget->removeEventFilter(this);
            deleteLater();
            m_act();
        }
        return false;
    }

private:
    QWidget *m_widget;
    std::function<void()> m_act;
};

} // namespace

void whenFirstShown(QWidget *widget, std::function<void()> act)
{
    new FirstShow(widget, std::move(act));
}

void adjustSizeWhenShown(QWidget *widget)
{
    whenFirstShown(widget, [widget] { widget->adjustSize(); });
}
