#pragma once

#include "pictures/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <memory>

class PictureRegistry;
class QMovie;

// A GIF file with all its frames. The header is checked first, so a failure says whether the
// file is no GIF at all, a GIF of another version, or damaged data. One frame is drawn directly;
// several frames are animated by QMovie from the first drawing on, with the file's delays and
// loop count, each new frame announced by changed(). Transparent pixels stay transparent.
class GifPicture : public Picture
{
    Q_OBJECT

public:
    GifPicture();
    ~GifPicture() override;

    void loadFromData(const QByteArray &bytes) override;
    int width() const override { return m_firstFrame.width(); }
    int height() const override { return m_firstFrame.height(); }
    // Only the drawing size changes; frames are scaled to it.
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    // The shown frame as a bitmap, and the file's own bytes as "image/gif".
    QMimeData *toMimeData() override;

    int frameCount() const { return m_frameCount; }
    bool isAnimated() const { return m_frameCount > 1; }
    bool isAnimationRunning() const;
    // The frame a drawing shows now.
    QImage currentFrame() const;

private:
    void startAnimation();

    QByteArray m_bytes;
    QImage m_firstFrame;
    int m_frameCount = 0;
    QBuffer m_movieBuffer;
    std::unique_ptr<QMovie> m_movie;
};

// The GIF module's start-up registration: "gif", "GIF Image".
void registerGifFormat(PictureRegistry &registry);

// The clipboard form of a GIF file's bytes.
inline constexpr char GifMimeType[] = "image/gif";
