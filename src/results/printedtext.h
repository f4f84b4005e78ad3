#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>

// What the printed pages share: the font of a given pixel size, drawn one point per pixel by a
// painter scaled to points, and the height of a text wrapped at a width.
namespace PrintedText {

// Liberation Sans, unhinted so that the measures scale exactly from points to the printer's dots.
QFont font(int pixels, bool bold);
// One line when the text fits on it (most do, and that is cheap to know), else the height of
// the text wrapped at word boundaries.
qreal height(const QFontMetricsF &metrics, const QString &text, qreal width);

} // namespace PrintedText
