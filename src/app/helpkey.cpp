#include "app/helpkey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

HelpKey::HelpKey(std::function<void(int context)> showHelp, QObject *parent)
    : QObject(parent), m_showHelp(std::move(showHelp))
{
    qApp->installEventFilter(this);
}

HelpKey::~HelpKey()
{
    qApp->removeEventFilter(this);
}

int HelpKey::contextOf(const QMenu *menu)
{
    for (const QObject *up = menu; up; up = up->parent()) {
        const int context = up->property(ContextProperty).toInt();
        if (context > 0)
            return context;
        if (!qobject_cast<const QMenu *>(up))
            break;
    }
    return 0;
}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    // With a menu open, the key goes to the menu on top.
    QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    const int context = menu ? contextOf(menu) : 0;
    if (menu)
        menu->close();
    m_showHelp(context);
    return true; // taken: the field that had the key does not see it
}
