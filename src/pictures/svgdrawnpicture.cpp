#include "pictures/svgdrawnpicture.h"

#include "platform/apperror.h"

#include <QCoreApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

SvgDrawnPicture::SvgDrawnPicture(DrawingConversion convert, QColor clipboardBackground, FailureTexts texts)
    : m_convert(std::move(convert)), m_clipboardBackground(clipboardBackground), m_texts(std::move(texts))
{
}

SvgDrawnPicture::~SvgDrawnPicture() = default;

void SvgDrawnPicture::loadDrawing(DrawingSource source, const QByteArray &bytes, std::optional<QSize> size)
{
    QByteArray svg;
    const MetafileError error = m_convert ? m_convert(source, bytes, svg) : MetafileError::ConverterMissing;
    if (error != MetafileError::None)
        throw AppError(failureText(error));
    if (!adopt(std::move(svg), size))
        throw AppError(m_texts.damaged);
}

QString SvgDrawnPicture::failureText(MetafileError error) const
{
    const auto cannotShow = [this](const char *reason) {
        return QCoreApplication::translate("SvgDrawnPicture", "Impossible d'afficher %1 : %2")
            .arg(m_texts.subject, QCoreApplication::translate("SvgDrawnPicture", reason));
    };
    switch (error) {
    case MetafileError::ConverterMissing:
        return cannotShow(QT_TRANSLATE_NOOP("SvgDrawnPicture",
                                            "le programme qui prépare les dessins (nelo-metafile-converter) est "
                                            "introuvable ; réinstallez Nelo Qcm"));
    case MetafileError::TimeLimit:
        return cannotShow(QT_TRANSLATE_NOOP("SvgDrawnPicture",
                                            "sa préparation a dépassé le temps permis (dessin trop complexe ou "
                                            "fichier endommagé)."));
    case MetafileError::MemoryLimit:
        return cannotShow(QT_TRANSLATE_NOOP("SvgDrawnPicture",
                                            "sa préparation demandait plus de mémoire que permis (dessin trop "
                                            "complexe ou fichier endommagé)."));
    case MetafileError::TooComplex:
        return cannotShow(QT_TRANSLATE_NOOP("SvgDrawnPicture",
                                            "son dessin est trop volumineux ou trop complexe pour être tracé sans "
                                            "bloquer la fenêtre"));
    case MetafileError::ConverterDied:
        return cannotShow(QT_TRANSLATE_NOOP("SvgDrawnPicture",
                                            "le programme qui prépare les dessins (nelo-metafile-converter) s'est "
                                            "arrêté anormalement"));
    case MetafileError::None:
    case MetafileError::NotAMetafile:
    case MetafileError::BadHeader:
    case MetafileError::BadRecords:
    case MetafileError::ConversionFailed:
        break;
    }
    return m_texts.damaged;
}

bool SvgDrawnPicture::adopt(QByteArray svg, std::optional<QSize> size)
{
    auto renderer = std::make_unique<QSvgRenderer>(svg);
    if (!renderer->isValid() || (!size && renderer->defaultSize().isEmpty()))
        return false;
    m_size = size.value_or(renderer->defaultSize());
    m_svg = std::move(svg);
    m_renderer = std::move(renderer);
    return true;
}

void SvgDrawnPicture::setSize(int width, int height)
{
    m_size = QSize(std::max(width, 0), std::max(height, 0));
    Q_EMIT changed();
}

void SvgDrawnPicture::draw(QPainter &painter, const QRectF &target)
{
    if (m_renderer && !isEmpty())
        m_renderer->render(&painter, target);
}

QMimeData *SvgDrawnPicture::toMimeData()
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), m_svg);
    if (!isEmpty()) {
        QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
        if (!image.isNull()) {
            image.fill(m_clipboardBackground);
            QPainter painter(&image);
            draw(painter, QRectF(QPointF(0, 0), QSizeF(m_size)));
            painter.end();
            data->setImageData(image);
        }
    }
    return data;
}
