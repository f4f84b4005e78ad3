#include "platform/deferredicon.h"

#include "platform/firstshow.h"

#include <QAbstractButton>

void setIconWhenShown(QAbstractButton *button, std::function<QIcon()> make)
{
    whenFirstShown(button, [button, make = std::move(make)] {
        if (!button->icon().isNull())
            return;
        button->setIcon(make());
        // Laid out without it: a layout that sizes the button by its icon does so again.
        button->updateGeometry();
    });
}

void setStandardIconWhenShown(QAbstractButton *button, QStyle::StandardPixmap which)
{
    setIconWhenShown(button, [button, which] { return button->style()->standardIcon(which, nullptr, button); });
}
