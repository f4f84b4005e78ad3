#include "classroom/network/sessionpictures.h"

#include "classroom/classquestionnaire.h"
#include "document/picturelocation.h"
#include "pictures/picture.h"
#include "pictures/pictureregistry.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QThread>

namespace {

// Photographs stay photographs: a PNG of one would weigh ten times as much.
bool isPhotograph(const PictureRegistry &registry, const QString &path)
{
    const PictureRegistry::Entry *entry = registry.find(pictureExtension(path));
    return entry && entry->kind == PictureKind::Jpeg;
}

} // namespace

SessionPictures::SessionPictures(const ClassQuestionnaire &questionnaire, const QString &questionnaireFolder,
                                 const PictureRegistry &registry, QObject *parent)
    : QObject(parent), m_pictures(size_t(questionnaire.size()))
{
    std::vector<std::pair<int, QString>> files;
    for (const ClassQuestion &question : questionnaire.questions()) {
        const QString stored = question.picture.trimmed();
        if (stored.isEmpty())
            continue;
        files.emplace_back(question.number, PictureLocation::resolve(stored, questionnaireFolder));
        m_pictures[size_t(question.number)].state = WebPicture::State::Pending;
    }
    m_remaining = int(files.size());
    if (files.empty())
        return;
    m_thread = QThread::create([this, files = std::move(files), &registry] {
        for (const auto &[question, path] : files) {
            if (QThread::currentThread()->isInterruptionRequested())
                return;
            WebPicture picture = render(registry, path);
            // Handed to the teacher's thread, where the server reads it.
            QMetaObject::invokeMethod(this, [this, question = question, picture = std::move(picture)] {
                m_pictures[size_t(question)] = picture;
                --m_remaining;
                Q_EMIT pictureReady(question);
            }, Qt::QueuedConnection);
        }
    });
    m_thread->setObjectName(QStringLiteral("session pictures"));
    m_thread->start(QThread::LowPriority);
}

SessionPictures::~SessionPictures()
{
    if (m_thread) {
        m_thread->requestInterruption();
        m_thread->wait();
        delete m_thread;
    }
}

WebPicture SessionPictures::lookup(int question) const
{
    return question >= 0 && question < int(m_pictures.size()) ? m_pictures[size_t(question)] : WebPicture();
}

WebPicture SessionPictures::render(const PictureRegistry &registry, const QString &path)
{
    WebPicture web;
    try {
        std::unique_ptr<Picture> picture = registry.createFor(path);
        picture->loadFromFile(path);
        if (picture->needsPreparation())
            picture->prepare();
        if (picture->isEmpty())
            return web;
        QSize size(picture->width(), picture->height());
        if (size.width() > MaxSide || size.height() > MaxSide)
            size.scale(MaxSide, MaxSide, Qt::KeepAspectRatio);
        const bool photograph = isPhotograph(registry, path);
        QImage image(size.expandedTo(QSize(1, 1)), photograph ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return web;
        image.fill(photograph ? Qt::white : Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        picture->draw(painter, QRectF(image.rect()));
        painter.end();
        QBuffer buffer(&web.bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, photograph ? "JPG" : "PNG", photograph ? 85 : -1))
            return {};
        web.mimeType = photograph ? "image/jpeg" : "image/png";
        web.state = WebPicture::State::Ready;
    } catch (...) {
        // A missing or damaged picture must not keep the class from answering.
        return {};
    }
    return web;
}
