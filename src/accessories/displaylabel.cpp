#include "accessories/displaylabel.h"

#include <QFontMetrics>
#include <algorithm>
#include <QPainter>
#include <QTextOption>

namespace {

// Below this the digits of the display's bold face stop being told apart.
constexpr int SmallestPixelSize = 7;

} // namespace

DisplayLabel::DisplayLabel(QWidget *parent) : QLabel(parent) {}

int DisplayLabel::linesNeeded(const QFont &font) const
{
    const int width = contentsRect().width();
    if (width <= 0)
        return 1;
    const int advance = QFontMetrics(font).horizontalAdvance(text());
    return std::max(1, (advance + width - 1) / width);
}

DisplayLabel::Fit DisplayLabel::fit() const
{
    QFont font = this->font();
    const int largest = std::max(SmallestPixelSize, font.pixelSize());
    for (int size = largest; size >= SmallestPixelSize; --size) {
        font.setPixelSize(size);
        if (linesNeeded(font) == 1)
            return {size, false};
    }
    // Several lines: the largest size at which they all fit the display's height.
    for (int size = largest; size > SmallestPixelSize; --size) {
        font.setPixelSize(size);
        if (linesNeeded(font) * QFontMetrics(font).lineSpacing() <= contentsRect().height())
            return {size, true};
    }
    return {SmallestPixelSize, true};
}

QFont DisplayLabel::fittedFont() const
{
    QFont font = this->font();
    font.setPixelSize(fit().pixelSize);
    return font;
}

bool DisplayLabel::wraps() const
{
    return fit().wrapped;
}

void DisplayLabel::paintEvent(QPaintEvent *)
{
    const Fit chosen = fit();
    QPainter painter(this);
    QFont font = this->font();
    font.setPixelSize(chosen.pixelSize);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextOption option(alignment());
    option.setWrapMode(chosen.wrapped ? QTextOption::WrapAnywhere : QTextOption::NoWrap);
    painter.drawText(QRectF(contentsRect()), text(), option);
}
