#include "accessories/spinbutton.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

namespace {

constexpr int FirstRepeatDelay = 400;
constexpr int RepeatInterval = 100;

} // namespace

SpinButton::SpinButton(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_up = makeArrow(Qt::UpArrow, QStringLiteral("UpArrow"));
    m_down = makeArrow(Qt::DownArrow, QStringLiteral("DownArrow"));
    connect(m_up, &QToolButton::clicked, this, &SpinButton::upClick);
    connect(m_down, &QToolButton::clicked, this, &SpinButton::downClick);
}

QToolButton *SpinButton::makeArrow(Qt::ArrowType arrow, const QString &name)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    // The arrows act for the whole control, which alone takes the focus.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(FirstRepeatDelay);
    button->setAutoRepeatInterval(RepeatInterval);
    return button;
}

void SpinButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // One pixel all round is left for the focus frame.
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const int upper = inside.height() / 2;
    m_up->setGeometry(inside.x(), inside.y(), inside.width(), upper);
    m_down->setGeometry(inside.x(), inside.y() + upper, inside.width(), inside.height() - upper);
}

void SpinButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        Q_EMIT upClick();
        break;
    case Qt::Key_Down:
        Q_EMIT downClick();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SpinButton::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
