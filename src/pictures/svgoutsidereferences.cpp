#include "pictures/svgoutsidereferences.h"

#include <QBuffer>
#include <QImageReader>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// Qt's renderer decodes an embedded picture from the text after the last "base64," of a value
// that begins with "data"; anything else on an <image> is a file name to it, "#id" included.
constexpr QLatin1String EmbeddedPrefix("data:");
constexpr QLatin1String Base64Marker("base64,");

bool isReferenceAttribute(QStringView name)
{
    // xlink:href whatever its prefix, and SVG 2's plain href.
    return name.compare(u"href", Qt::CaseInsensitive) == 0 || name.endsWith(u":href", Qt::CaseInsensitive);
}

bool isImageElement(QStringView name)
{
    return name.mid(name.lastIndexOf(u':') + 1) == u"image";
}

// Raster formats only: an embedded SVG would be parsed with references of its own.
bool isEmbeddableFormat(const QByteArray &format)
{
    for (const char *allowed : {"png", "jpeg", "gif", "bmp", "webp"}) {
        if (format == allowed)
            return true;
    }
    return false;
}

bool isEmbeddedRasterPicture(QStringView value)
{
    if (!value.startsWith(EmbeddedPrefix))
        return false;
    const qsizetype marker = value.lastIndexOf(Base64Marker);
    if (marker < 0)
        return false;
    // Decoded exactly as the renderer will decode it, so both see the same format.
    QByteArray bytes = QByteArray::fromBase64(value.mid(marker + Base64Marker.size()).toLatin1());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return isEmbeddableFormat(QImageReader::imageFormat(&buffer));
}

bool isKept(QStringView element, QStringView reference)
{
    if (reference.startsWith(u'#'))
        return !isImageElement(element);
    return isEmbeddedRasterPicture(reference);
}

// Copies the start of the element the reader stands on, without the references it may not
// keep. An image whose picture goes is left out whole (it would draw nothing, and Qt would
// warn about it at every drawing): false then, the reader having passed its end.
bool copyElementStart(QXmlStreamReader &reader, QXmlStreamWriter &writer, bool &dropped)
{
    const QString element = reader.qualifiedName().toString();
    QXmlStreamAttributes kept;
    bool droppedHere = false;
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
        if (isReferenceAttribute(attribute.qualifiedName()) && !isKept(element, attribute.value()))
            droppedHere = true;
        else
            kept.append(attribute);
    }
    dropped = dropped || droppedHere;
    if (droppedHere && isImageElement(element)) {
        reader.skipCurrentElement();
        return false;
    }
    writer.writeStartElement(element);
    for (const QXmlStreamAttribute &attribute : kept)
        writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
    return true;
}

} // namespace

std::optional<QByteArray> svgWithoutOutsideReferences(const QByteArray &svg)
{
    QXmlStreamReader reader(svg);
    // Names exactly as written, prefixes included, as Qt's renderer reads them; entities are
    // expanded the same way, so a reference spelt through one is seen here too.
    reader.setNamespaceProcessing(false);
    QByteArray cleaned;
    QXmlStreamWriter writer(&cleaned);
    bool dropped = false;
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (copyElementStart(reader, writer, dropped))
                ++depth;
            break;
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            // Nothing after the root element can be drawn.
            if (--depth == 0)
                return dropped ? cleaned : svg;
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA())
                writer.writeCDATA(reader.text().toString());
            else
                writer.writeCharacters(reader.text().toString());
            break;
        case QXmlStreamReader::Comment:
            writer.writeComment(reader.text().toString());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            writer.writeProcessingInstruction(reader.processingInstructionTarget().toString(),
                                              reader.processingInstructionData().toString());
            break;
        case QXmlStreamReader::Invalid:
            return std::nullopt;
        default:
            // The declaration and the document type go: the copy is UTF-8 and its entities are
            // already expanded. An entity left unexpanded is one nobody resolves.
            break;
        }
    }
    return std::nullopt; // no root element, or one that never closed
}
