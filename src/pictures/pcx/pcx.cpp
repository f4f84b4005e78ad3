#include "pictures/pcx/pcx.h"

#include "pictures/bitmappicture.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QtEndian>

namespace {

constexpr int EmbeddedCountSize = 4;
// Reads embedded data in pieces, so a damaged byte count cannot make us allocate 4 GiB.
constexpr qint64 EmbeddedChunk = 64 * 1024;

QString outOfMemoryText()
{
    return QCoreApplication::translate("TPCX", "Plus de mémoire lors de l'expansion du flux mémoire");
}

QString writeFailureText()
{
    return QCoreApplication::translate("TPCX", "Erreur d'écriture du flux");
}

int primaryScreenDepth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

} // namespace

TPCX::TPCX(int screenDepth, PcxDecoderOptions decoderOptions, PcxEncoderOptions encoderOptions)
    : m_decoder(decoderOptions),
      m_encoder(encoderOptions),
      m_bitmap(bitsPerPixelFor(formatCodeForDepth(screenDepth)) ? bitsPerPixelFor(formatCodeForDepth(screenDepth))
                                                                 : screenDepth),
      m_formatCode(formatCodeForDepth(screenDepth))
{
}

void TPCX::loadFromFile(const QString &path)
{
    QFile file;
    openForReading(file, path);
    loadFromStream(file);
}

void TPCX::loadFromData(const QByteArray &bytes)
{
    takeDecoded(m_bitmap.decode(m_decoder, bytes));
}

void TPCX::loadFromStream(QIODevice &stream)
{
    takeDecoded(m_bitmap.decode(m_decoder, stream));
}

void TPCX::takeDecoded(const PcxDecodeResult &result)
{
    m_formatCode = result.formatCode;
    if (!result.ok()) {
        becomeEmpty();
        if (result.error == PcxError::TooLarge)
            throw AppError(outOfMemoryText());
        return;
    }
    m_empty = false;
    setFormatCode(result.formatCode);
    Q_EMIT changed();
}

void TPCX::becomeEmpty()
{
    m_empty = true;
    m_bitmap.clear();
    Q_EMIT changed();
}

void TPCX::reconsiderEmptiness()
{
    if (m_bitmap.width() > 0 && m_bitmap.height() > 0 && isDisplayable(m_formatCode))
        m_empty = false;
}

int TPCX::width() const
{
    return m_empty ? 0 : m_bitmap.width();
}

int TPCX::height() const
{
    return m_empty ? 0 : m_bitmap.height();
}

void TPCX::setWidth(int width)
{
    m_bitmap.setWidth(width);
    if (width <= 0)
        m_empty = true;
    else
        reconsiderEmptiness();
    Q_EMIT changed();
}

void TPCX::setHeight(int height)
{
    m_bitmap.setHeight(height);
    if (height <= 0)
        m_empty = true;
    else
        reconsiderEmptiness();
    Q_EMIT changed();
}

void TPCX::setSize(int width, int height)
{
    setWidth(width);
    setHeight(height);
}

void TPCX::setPalette(const QList<QRgb> &colours)
{
    m_bitmap.setPalette(colours);
    Q_EMIT changed();
}

void TPCX::setFormatCode(PcxFormatCode code)
{
    m_formatCode = code;
    if (!isDisplayable(code))
        m_empty = true;
    else if (m_empty)
        reconsiderEmptiness();
    m_bitmap.setDepth(bitsPerPixelFor(code));
    Q_EMIT changed();
}

void TPCX::draw(QPainter &painter, const QRectF &target)
{
    if (!m_empty && m_bitmap.hasPixels())
        painter.drawImage(target, m_bitmap.image());
}

void TPCX::saveToStream(QIODevice &stream) const
{
    PcxError error = PcxError::None;
    const QByteArray pcx = m_encoder.encode(m_bitmap.toBmp(), &error);
    if (error != PcxError::None)
        return;
    if (stream.write(pcx) != pcx.size())
        throw AppError(writeFailureText());
}

void TPCX::saveToFile(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QCoreApplication::translate("TPCX", "Ne peut créer le fichier %1").arg(path));
    saveToStream(file);
    if (!file.commit())
        throw AppError(writeFailureText());
}

void TPCX::readEmbeddedData(QIODevice &stream)
{
    uchar countBytes[EmbeddedCountSize];
    if (stream.read(reinterpret_cast<char *>(countBytes), EmbeddedCountSize) != EmbeddedCountSize) {
        m_formatCode = PcxFormatCode::Other;
        becomeEmpty();
        return;
    }
    const quint32 count = qFromLittleEndian<quint32>(countBytes);
    QByteArray bytes;
    while (bytes.size() < qint64(count)) {
        const QByteArray piece = stream.read(qMin<qint64>(EmbeddedChunk, qint64(count) - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    // Fewer bytes than announced: a damaged component, shown as an empty picture.
    if (bytes.size() < qint64(count)) {
        m_formatCode = PcxFormatCode::Other;
        becomeEmpty();
        return;
    }
    loadFromData(bytes);
}

void TPCX::writeEmbeddedData(QIODevice &stream) const
{
    QByteArray pcx;
    {
        QBuffer memory(&pcx);
        memory.open(QIODevice::WriteOnly);
        saveToStream(memory);
    }
    uchar countBytes[EmbeddedCountSize];
    qToLittleEndian<quint32>(quint32(pcx.size()), countBytes);
    if (stream.write(reinterpret_cast<const char *>(countBytes), EmbeddedCountSize) != EmbeddedCountSize
        || stream.write(pcx) != pcx.size())
        throw AppError(writeFailureText());
}

void TPCX::assign(const Picture &source)
{
    if (const auto *pcx = qobject_cast<const TPCX *>(&source)) {
        assign(*pcx);
        return;
    }
    if (const auto *bitmap = qobject_cast<const BitmapPicture *>(&source)) {
        assign(bitmap->image());
        return;
    }
    throw AppError(QCoreApplication::translate("TPCX", "Ne peut affecter %1 à %2")
                       .arg(QLatin1String(source.metaObject()->className()),
                            QLatin1String(metaObject()->className())));
}

void TPCX::assign(const TPCX &source)
{
    if (&source == this)
        return;
    m_empty = source.m_empty;
    m_bitmap = source.m_bitmap;
    m_formatCode = source.m_formatCode;
    if (!m_empty)
        m_bitmap.detach();
    Q_EMIT changed();
}

void TPCX::assign(const QImage &bitmap)
{
    m_bitmap.setImage(bitmap);
    m_empty = bitmap.width() == 0 || bitmap.height() == 0;
    setFormatCode(formatCodeForDepth(PcxBitmap::depthOf(bitmap)));
}

void TPCX::paintOnCanvas(const std::function<void(QPainter &)> &paint)
{
    m_bitmap.paint(paint);
    Q_EMIT changed();
}

uchar *TPCX::scanLine(int row)
{
    return m_bitmap.scanLine(row);
}

void registerPcx(PictureRegistry &registry)
{
    registerPcx(registry, primaryScreenDepth);
}

void registerPcx(PictureRegistry &registry, std::function<int()> screenDepth)
{
    registry.registerFormat(QStringLiteral("pcx"), QCoreApplication::translate("TPCX", "PCX"), PictureKind::Pcx,
                            [screenDepth = std::move(screenDepth)] {
                                return std::unique_ptr<Picture>(new TPCX(screenDepth()));
                            });
}

void unregisterPcx(PictureRegistry &registry)
{
    registry.unregisterKind(PictureKind::Pcx);
}

QMimeData *TPCX::toMimeData()
{
    if (m_empty)
        return nullptr;
    auto *data = new QMimeData;
    data->setImageData(m_bitmap.image());
    return data;
}
