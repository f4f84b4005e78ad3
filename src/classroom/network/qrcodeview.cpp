#include "classroom/network/qrcodeview.h"

#include <QPainter>

QrCodeView::QrCodeView(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void QrCodeView::setCode(const QrCode &code)
{
    m_code = code;
    updateGeometry();
    update();
}

QSize QrCodeView::sizeHint() const
{
    return {400, 400};
}

QSize QrCodeView::minimumSizeHint() const
{
    return {200, 200};
}

QRect QrCodeView::codeRect() const
{
    if (m_code.isNull())
        return {};
    const int modules = m_code.size + 2 * QuietModules;
    const int module = std::min(width(), height()) / modules;
    if (module < 1)
        return {};
    QRect square(0, 0, module * modules, module * modules);
    square.moveCenter(rect().center());
    return square;
}

void QrCodeView::paintEvent(QPaintEvent *)
{
    const QRect square = codeRect();
    if (square.isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(square, Qt::white);
    const int modules = m_code.size + 2 * QuietModules;
    const int module = square.width() / modules;
    const QPoint origin = square.topLeft() + QPoint(QuietModules * module, QuietModules * module);
    for (int y = 0; y < m_code.size; ++y) {
        for (int x = 0; x < m_code.size; ++x) {
            if (m_code.isDark(x, y))
                painter.fillRect(origin.x() + x * module, origin.y() + y * module, module, module, Qt::black);
        }
    }
}
