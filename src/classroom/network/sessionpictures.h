#pragma once

#include "classroom/network/sessionapi.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <vector>

class ClassQuestionnaire;
class PictureRegistry;
class QThread;

// The questionnaire's pictures in a form every browser shows (PNG, or JPEG for photographs),
// no larger than a screen needs. Made one after the other in a thread of their own when the
// session opens, so that a large photograph or a metafile's conversion never holds up the
// teacher's program; a picture asked for before it is ready is "pending".
class SessionPictures : public QObject
{
    Q_OBJECT

public:
    // Wider or taller than this, a picture is scaled down: sharp on a tablet, light to send.
    static constexpr int MaxSide = 1600;

    SessionPictures(const ClassQuestionnaire &questionnaire, const QString &questionnaireFolder,
                    const PictureRegistry &registry, QObject *parent = nullptr);
    ~SessionPictures() override;

    WebPicture lookup(int question) const;
    bool finished() const { return m_remaining == 0; }

    // One picture file made ready for a browser; State::None when it cannot be read.
    static WebPicture render(const PictureRegistry &registry, const QString &path);

Q_SIGNALS:
    void pictureReady(int question);

private:
    std::vector<WebPicture> m_pictures;
    int m_remaining = 0;
    QThread *m_thread = nullptr;
};
