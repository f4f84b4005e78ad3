#include "results/printedtext.h"

#include <cmath>

namespace PrintedText {

QFont font(int pixels, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

qreal height(const QFontMetricsF &metrics, const QString &text, qreal width)
{
    if (!text.contains(QLatin1Char('\n')) && metrics.horizontalAdvance(text) <= width)
        return metrics.lineSpacing();
    return std::ceil(metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height());
}

} // namespace PrintedText
