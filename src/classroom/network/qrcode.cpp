#include "classroom/network/qrcode.h"

#include <qrencode.h>

#include <memory>

QrCode QrCode::encode(const QByteArray &text)
{
    QrCode code;
    if (text.isEmpty())
        return code;
    const std::unique_ptr<QRcode, void (*)(QRcode *)> encoded(
        QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M), QRcode_free);
    if (!encoded || encoded->width <= 0)
        return code;
    code.size = encoded->width;
    code.dark.resize(size_t(code.size) * size_t(code.size));
    // libqrencode's lowest bit of each byte is the module's colour.
    for (size_t i = 0; i < code.dark.size(); ++i)
        code.dark[i] = (encoded->data[i] & 1) != 0;
    return code;
}
