#pragma once

#include <QByteArray>
#include <QCoreApplication>

#include <vector>

class QPainter;
class QRectF;

// A QR code (libqrencode, error correction level M: a seventh of the symbol may be spoilt),
// as its square of modules.
class QrSymbol
{
    Q_DECLARE_TR_FUNCTIONS(QrSymbol)

public:
    // Throws AppError when the text does not fit in the largest symbol.
    static QrSymbol encode(const QByteArray &text);

    int width() const { return m_width; }
    bool dark(int x, int y) const { return m_modules[size_t(y) * size_t(m_width) + size_t(x)] != 0; }

    // Draws the symbol as large as fits in `area`, centred, with a quiet zone of `quietModules`
    // modules all around, in whole device pixels when the painter's device has them.
    void draw(QPainter &painter, const QRectF &area, int quietModules) const;

private:
    int m_width = 0;
    std::vector<unsigned char> m_modules;
};
