#include "printing/qrsymbol.h"

#include "platform/apperror.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <qrencode.h>

#include <memory>

QrSymbol QrSymbol::encode(const QByteArray &text)
{
    if (text.isEmpty() || text.contains('\0'))
        throw AppError(tr("Code de page impossible à écrire : texte vide ou invalide."));
    // Version 0: the smallest symbol the text fits in. Mixed modes, chosen by the library, keep
    // upper-case letters and digits at 5.5 bits each.
    const std::unique_ptr<QRcode, void (*)(QRcode *)> code(
        QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code)
        throw AppError(tr("Code de page trop long (%1 octets) : trop de cases sur une page.").arg(text.size()));
    QrSymbol symbol;
    symbol.m_width = code->width;
    const size_t count = size_t(code->width) * size_t(code->width);
    symbol.m_modules.resize(count);
    // Bit 0 of each byte is the module's colour; the others say what kind of module it is.
    for (size_t i = 0; i < count; ++i)
        symbol.m_modules[i] = code->data[i] & 1;
    return symbol;
}

void QrSymbol::draw(QPainter &painter, const QRectF &area, int quietModules) const
{
    const int span = m_width + 2 * quietModules;
    const qreal module = std::min(area.width(), area.height()) / span;
    const QPointF origin(area.center().x() - module * m_width / 2, area.center().y() - module * m_width / 2);
    // One path filled at once, a rectangle per run of dark modules along a row: no seams
    // between neighbours, and a small file.
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int y = 0; y < m_width; ++y) {
        for (int x = 0; x < m_width;) {
            if (!dark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < m_width && dark(x, y))
                ++x;
            path.addRect(QRectF(origin.x() + start * module, origin.y() + y * module, (x - start) * module, module));
        }
    }
    painter.fillPath(path, Qt::black);
}
