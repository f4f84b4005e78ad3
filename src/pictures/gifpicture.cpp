#include "pictures/gifpicture.h"

#include "pictures/gifheader.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QMimeData>
#include <QMovie>
#include <QPainter>

GifPicture::GifPicture() = default;

GifPicture::~GifPicture()
{
    // The movie reads from m_movieBuffer: it goes first.
    m_movie.reset();
}

void GifPicture::loadFromData(const QByteArray &bytes)
{
    const auto damaged = [] {
        return AppError(QCoreApplication::translate("GifPicture", "Image GIF incorrecte : données tronquées ou endommagées"));
    };
    GifHeader header;
    switch (readGifHeader(bytes, header)) {
    case GifHeaderError::None:
        break;
    case GifHeaderError::BadSignature:
        throw AppError(QCoreApplication::translate("GifPicture", "Image GIF incorrecte : ce fichier n'est pas au format GIF"));
    case GifHeaderError::BadVersion:
        throw AppError(QCoreApplication::translate("GifPicture",
                                                   "Version d'image GIF non prise en charge (seules GIF87a et GIF89a le sont)."));
    case GifHeaderError::Truncated:
        throw damaged();
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    reader.setAutoDetectImageFormat(false);
    QImage first = reader.read();
    if (first.isNull())
        throw damaged();
    // Count the frames that really decode: a broken later frame ends the animation there.
    int frames = 1;
    while (reader.canRead() && !reader.read().isNull())
        ++frames;

    m_movie.reset();
    m_bytes = bytes;
    m_firstFrame = std::move(first);
    m_frameCount = frames;
}

void GifPicture::setSize(int width, int height)
{
    m_firstFrame = m_firstFrame.scaled(std::max(width, 0), std::max(height, 0));
    Q_EMIT changed();
}

bool GifPicture::isAnimationRunning() const
{
    return m_movie && m_movie->state() == QMovie::Running;
}

QImage GifPicture::currentFrame() const
{
    if (m_movie) {
        const QImage frame = m_movie->currentImage();
        if (!frame.isNull())
            return frame;
    }
    return m_firstFrame;
}

void GifPicture::startAnimation()
{
    m_movieBuffer.close();
    m_movieBuffer.setData(m_bytes);
    m_movieBuffer.open(QIODevice::ReadOnly);
    m_movie = std::make_unique<QMovie>(&m_movieBuffer, QByteArray("gif"));
    m_movie->setCacheMode(QMovie::CacheNone);
    // Queued: the movie announces its first frame from inside start(), that is from inside a
    // drawing, and a frame that repaints then would drop the surface being painted.
    connect(m_movie.get(), &QMovie::frameChanged, this, &Picture::changed, Qt::QueuedConnection);
    m_movie->start();
}

void GifPicture::draw(QPainter &painter, const QRectF &target)
{
    if (m_firstFrame.isNull())
        return;
    if (isAnimated() && !m_movie)
        startAnimation();
    painter.drawImage(target, currentFrame());
}

QMimeData *GifPicture::toMimeData()
{
    auto *data = new QMimeData;
    data->setImageData(currentFrame());
    data->setData(QString::fromLatin1(GifMimeType), m_bytes);
    return data;
}

void registerGifFormat(PictureRegistry &registry)
{
    registry.registerFormat(QStringLiteral("gif"),
                            QCoreApplication::translate("GifPicture", "GIF Image"), PictureKind::Gif,
                            [] { return std::unique_ptr<Picture>(new GifPicture); });
}
