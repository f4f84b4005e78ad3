#include "platform/pagescrollarea.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>

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
    if (!focused || !widget() || !widget()->isAncestorOf(focused))
        return;
    // The focus sits in the text part of a spin box or combo box; the whole control, its
    // arrows included, is what must come into sight.
    for (QWidget *outer = focused->parentWidget(); outer && outer != widget(); outer = outer->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox *>(outer) || qobject_cast<QComboBox *>(outer))
            focused = outer;
    }
    // Qt would bring only the text cursor into sight, leaving a spin box's arrows outside.
    // A control that fits comes whole, its top left corner last so that it wins; a larger
    // one (a long free text) shows where the cursor is.
    const QRect place(focused->mapTo(widget(), QPoint(0, 0)), focused->size());
    constexpr int Margin = 8;
    if (place.width() + 2 * Margin <= viewport()->width() && place.height() + 2 * Margin <= viewport()->height()) {
        ensureVisible(place.right(), place.bottom(), Margin, Margin);
        ensureVisible(place.left(), place.top(), Margin, Margin);
    } else {
        ensureWidgetVisible(focused);
    }
}
