#include "classroom/network/livechart.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Dark enough for white text (above 4.5:1), apart enough to tell on a washed-out projector.
const QColor BarColour(0x1f, 0x4e, 0x8c);
const QColor RightColour(0x1d, 0x6b, 0x2f);
const QColor TrackColour(0xe6, 0xe9, 0xee);

} // namespace

LiveChart::LiveChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LiveChart"));
    setAccessibleName(tr("Réponses de la classe"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void LiveChart::setTally(const QStringList &texts, const std::vector<int> &numbers, const LiveTally &tally,
                         AnswerSet right, const QString &description)
{
    m_texts = texts;
    m_numbers = numbers;
    m_tally = tally;
    m_right = right;
    setAccessibleDescription(description);
    update();
}

QSize LiveChart::sizeHint() const
{
    return {800, 400};
}

QSize LiveChart::minimumSizeHint() const
{
    return {300, 150};
}

void LiveChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int rows = int(m_texts.size());
    if (rows == 0)
        return;
    const QRect area = rect().adjusted(8, 8, -8, -8);
    // The text above its bar, the bar as tall as the text: rows no taller than that, whatever
    // room there is (a chart of two answers on a tall screen stays a chart).
    QFont textFont = font();
    textFont.setPixelSize(std::clamp(area.height() / rows / 3, 12, std::max(font().pixelSize(), 24)));
    textFont.setBold(true);
    painter.setFont(textFont);
    const int rowHeight = std::min(area.height() / rows, painter.fontMetrics().height() * 5 / 2);
    const QLocale locale;
    for (int row = 0; row < rows; ++row) {
        const int number = m_numbers[size_t(row)];
        const int count = m_tally.counts[size_t(number - 1)];
        const double share = m_tally.answered > 0 ? double(count) / m_tally.answered : 0.0;
        const bool right = AnswerSets::contains(m_right, number);
        const QRect place(area.left(), area.top() + row * rowHeight, area.width(), rowHeight);
        const int textHeight = painter.fontMetrics().height();
        const QRect label(place.left(), place.top(), place.width(), textHeight);
        const QString figure = tr("%1 (%2 %)").arg(count).arg(locale.toString(int(std::lround(share * 100))));
        const QString mark = right ? tr("✔ bonne réponse – ") : QString();
        painter.setPen(right ? RightColour : palette().color(QPalette::WindowText));
        const int figureWidth = painter.fontMetrics().horizontalAdvance(figure) + 12;
        painter.drawText(label.adjusted(0, 0, -figureWidth, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(mark + m_texts[row], Qt::ElideRight,
                                                          label.width() - figureWidth));
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, figure);
        const QRect track(place.left(), label.bottom() + 4, place.width(),
                          std::clamp(rowHeight - textHeight - 14, 8, textHeight));
        painter.fillRect(track, TrackColour);
        QRect bar = track;
        bar.setWidth(int(std::lround(track.width() * std::min(share, 1.0))));
        painter.fillRect(bar, right ? RightColour : BarColour);
    }
}
