#include "platform/focusreturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

FocusReturn::FocusReturn(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

FocusReturn::~FocusReturn()
{
    qApp->removeEventFilter(this);
}

bool FocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous() || !watched->isWidgetType())
        return false;
    const auto *window = static_cast<QWidget *>(watched);
    if (!window->isWindow() || !window->isModal())
        return false;
    if (type == QEvent::Show) {
        m_focusBefore.insert(window, QApplication::focusWidget());
        return false;
    }
    const QPointer<QWidget> field = m_focusBefore.take(window);
    // A field closed or disabled meanwhile (a window that went away) keeps Qt's own choice.
    if (!field || !field->isVisible() || !field->isEnabled() || window->isAncestorOf(field))
        return false;
    field->setFocus(Qt::OtherFocusReason);
    // Not every window manager (nor a bare display) gives the activation back to the window
    // underneath, and the keys would go on to the hidden window. Asked once the modal window is
    // gone: until then the window underneath is blocked. The command that opened the modal
    // window may still move the focus meanwhile (to the title after a jump, say); the window
    // keeps that choice.
    QTimer::singleShot(0, field->window(), [underneath = field->window()] {
        const QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != underneath)
            return; // another modal window came meanwhile: it keeps the keys
        const QWidget *active = QApplication::activeWindow();
        if (underneath->isVisible() && (!active || !active->isVisible()))
            underneath->activateWindow();
    });
    return false;
}
