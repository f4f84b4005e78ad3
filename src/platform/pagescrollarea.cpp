#include "platform/pagescrollarea.h"

#include <QApplication>

PageScrollArea::PageScrollArea(QWidget *page, Fit fit, QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("PageScrollArea"));
    setFrameShape(QFrame::NoFrame);
    // The page's fields take the focus, never the area between them and the window.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(fit == Fit::GrowWithArea);
    setAlignment(Qt::AlignCenter);
    setWidget(page);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { keepInSight(now); });
}

void PageScrollArea::keepInSight(QWidget *focused)
{
    if (focused && widget() && widget()->isAncestorOf(focused))
        ensureWidgetVisible(focused);
}
