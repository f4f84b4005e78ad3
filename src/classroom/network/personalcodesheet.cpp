#include "classroom/network/personalcodesheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace {

// A slip is large enough to hold between two fingers and to read the code at arm's length.
constexpr double SlipMillimetres = 24.0;
constexpr double HeaderMillimetres = 14.0;
constexpr int NamePoints = 13;
constexpr int CodePoints = 22;
constexpr int SmallPoints = 9;

double pixelsPerMillimetre(const QPaintDevice &device)
{
    return device.logicalDpiY() / 25.4;
}

QFont sheetFont(int points, bool bold, bool fixed = false)
{
    QFont font(fixed ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Sans"));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// "K7M 2QX": three and three, as the pupil types it.
QString spaced(const QString &code)
{
    return code.size() == 6 ? code.left(3) + QLatin1Char(' ') + code.mid(3) : code;
}

} // namespace

int PersonalCodeSheet::slipsPerPage(const QPagedPaintDevice &device)
{
    const double perMillimetre = pixelsPerMillimetre(device);
    return std::max(1, int((device.height() - HeaderMillimetres * perMillimetre) / (SlipMillimetres * perMillimetre)));
}

int PersonalCodeSheet::pageCount(const QPagedPaintDevice &device, int pupils)
{
    const int perPage = slipsPerPage(device);
    return std::max(1, (pupils + perPage - 1) / perPage);
}

void PersonalCodeSheet::paint(QPagedPaintDevice &device, const Contents &contents)
{
    QPainter painter(&device);
    const double mm = pixelsPerMillimetre(device);
    const double width = device.width();
    const int perPage = slipsPerPage(device);
    const int pages = pageCount(device, int(contents.pupils.size()));
    QPen cut(Qt::gray);
    cut.setStyle(Qt::DashLine);
    cut.setWidthF(0.3 * mm);

    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        painter.setPen(Qt::black);
        painter.setFont(sheetFont(SmallPoints, false));
        painter.drawText(QRectF(0, 0, width, HeaderMillimetres * mm), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         tr("Codes personnels : %1, questionnaire « %2 ». À découper : chaque élève reçoit son papier "
                            "et tape son code sur la page de la passation. Page %3 / %4.")
                             .arg(contents.className, contents.questionnaire)
                             .arg(page + 1)
                             .arg(pages));
        for (int slot = 0; slot < perPage; ++slot) {
            const int pupil = page * perPage + slot;
            if (pupil >= contents.pupils.size())
                break;
            const double top = HeaderMillimetres * mm + slot * SlipMillimetres * mm;
            painter.setPen(cut);
            painter.drawLine(QPointF(0, top), QPointF(width, top));
            const QRectF slip(3 * mm, top + 2 * mm, width - 6 * mm, SlipMillimetres * mm - 4 * mm);
            const QRectF left(slip.left(), slip.top(), slip.width() * 0.62, slip.height());
            const QRectF right(left.right(), slip.top(), slip.width() - left.width(), slip.height());
            painter.setPen(Qt::black);
            painter.setFont(sheetFont(NamePoints, true));
            const QFontMetricsF nameMetrics(painter.font(), &device);
            painter.drawText(QRectF(left.left(), left.top(), left.width(), nameMetrics.height()), Qt::AlignLeft | Qt::AlignTop,
                             nameMetrics.elidedText(contents.pupils.at(pupil), Qt::ElideRight, left.width()));
            painter.setFont(sheetFont(SmallPoints, false));
            painter.drawText(QRectF(left.left(), left.top() + nameMetrics.height() * 1.2, left.width(),
                                    left.height() - nameMetrics.height() * 1.2),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                             tr("%1 ; questionnaire « %2 ».\nVotre code personnel : ne le donnez à personne.")
                                 .arg(contents.className, contents.questionnaire));
            painter.setFont(sheetFont(CodePoints, true, true));
            painter.drawText(right, Qt::AlignRight | Qt::AlignVCenter,
                             pupil < contents.codes.size() ? spaced(contents.codes.at(pupil)) : QString());
        }
        const int onPage = std::min(perPage, int(contents.pupils.size()) - page * perPage);
        const double bottom = HeaderMillimetres * mm + std::max(0, onPage) * SlipMillimetres * mm;
        painter.setPen(cut);
        painter.drawLine(QPointF(0, bottom), QPointF(width, bottom));
    }
}
