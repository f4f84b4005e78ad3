#include "document/qcmtext.h"

#include <array>

namespace QcmText {

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The undefined ones (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their
// own value so that any file survives a load and a save byte for byte.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char CR = '\r';
constexpr char LF = '\n';

char16_t decodeByte(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? HighControls[byte - 0x80] : char16_t(byte);
}

// -1 when the character has no byte in the code page (or would break the line structure).
int encodeChar(char16_t c)
{
    if (c == 0 || c == u'\r' || c == u'\n')
        return -1;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(HighControls.size()); ++i) {
        if (HighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

Decoded decodeQuestionnaire(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qsizetype end = bytes.size();
    Decoded decoded;

    qsizetype start = 0;
    while (start < end) {
        qsizetype stop = start;
        while (stop < end && data[stop] != CR && data[stop] != LF)
            ++stop;

        QString line(stop - start, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(line.data());
        for (qsizetype i = start; i < stop; ++i) {
            if (data[i] == '\0')
                ++decoded.droppedNuls;
            else
                *out++ = decodeByte(static_cast<unsigned char>(data[i]));
        }
        line.truncate(out - reinterpret_cast<const char16_t *>(line.constData()));
        decoded.tags.count(line);
        decoded.lines.append(std::move(line));

        if (stop < end && data[stop] == CR && stop + 1 < end && data[stop + 1] == LF)
            ++stop;
        start = stop + 1;
    }
    return decoded;
}

QStringList decodeLines(const QByteArray &bytes, int *droppedNuls)
{
    Decoded decoded = decodeQuestionnaire(bytes);
    if (droppedNuls)
        *droppedNuls = decoded.droppedNuls;
    return std::move(decoded.lines);
}

int firstUnencodable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (encodeChar(text.at(i).unicode()) < 0)
            return int(i);
    }
    return -1;
}

QByteArray encodeLines(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;

    QByteArray bytes(total, Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QString &line = lines.at(l);
        const char16_t *in = reinterpret_cast<const char16_t *>(line.constData());
        for (qsizetype i = 0; i < line.size(); ++i) {
            const int byte = encodeChar(in[i]);
            if (byte < 0) {
                char32_t character = in[i];
                if (QChar::isHighSurrogate(in[i]) && i + 1 < line.size() && QChar::isLowSurrogate(in[i + 1]))
                    character = QChar::surrogateToUcs4(in[i], in[i + 1]);
                throw Unencodable{int(l), int(i), character};
            }
            *out++ = char(byte);
        }
        *out++ = CR;
        *out++ = LF;
    }
    return bytes;
}

} // namespace QcmText
