#include "document/exchange/exchangetext.h"

#include "document/qcmtext.h"

#include <QHash>
#include <QStringDecoder>

namespace ExchangeText {

namespace {

QString normalisedLineEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// The named entities a French text is likely to carry; others stay as written.
const QHash<QString, char16_t> &namedEntities()
{
    static const QHash<QString, char16_t> entities = {
        {QStringLiteral("amp"), u'&'},      {QStringLiteral("lt"), u'<'},       {QStringLiteral("gt"), u'>'},
        {QStringLiteral("quot"), u'"'},     {QStringLiteral("apos"), u'\''},    {QStringLiteral("nbsp"), 0x00A0},
        {QStringLiteral("laquo"), 0x00AB},  {QStringLiteral("raquo"), 0x00BB},  {QStringLiteral("agrave"), 0x00E0},
        {QStringLiteral("acirc"), 0x00E2},  {QStringLiteral("auml"), 0x00E4},   {QStringLiteral("ccedil"), 0x00E7},
        {QStringLiteral("egrave"), 0x00E8}, {QStringLiteral("eacute"), 0x00E9}, {QStringLiteral("ecirc"), 0x00EA},
        {QStringLiteral("euml"), 0x00EB},   {QStringLiteral("icirc"), 0x00EE},  {QStringLiteral("iuml"), 0x00EF},
        {QStringLiteral("ocirc"), 0x00F4},  {QStringLiteral("ouml"), 0x00F6},   {QStringLiteral("ugrave"), 0x00F9},
        {QStringLiteral("ucirc"), 0x00FB},  {QStringLiteral("uuml"), 0x00FC},   {QStringLiteral("yuml"), 0x00FF},
        {QStringLiteral("Agrave"), 0x00C0}, {QStringLiteral("Acirc"), 0x00C2},  {QStringLiteral("Ccedil"), 0x00C7},
        {QStringLiteral("Egrave"), 0x00C8}, {QStringLiteral("Eacute"), 0x00C9}, {QStringLiteral("Ecirc"), 0x00CA},
        {QStringLiteral("Icirc"), 0x00CE},  {QStringLiteral("Ocirc"), 0x00D4},  {QStringLiteral("Ugrave"), 0x00D9},
        {QStringLiteral("oelig"), 0x0153},  {QStringLiteral("OElig"), 0x0152},  {QStringLiteral("euro"), 0x20AC},
        {QStringLiteral("deg"), 0x00B0},    {QStringLiteral("times"), 0x00D7},  {QStringLiteral("divide"), 0x00F7},
        {QStringLiteral("middot"), 0x00B7}, {QStringLiteral("copy"), 0x00A9},   {QStringLiteral("reg"), 0x00AE},
        {QStringLiteral("lsquo"), 0x2018},  {QStringLiteral("rsquo"), 0x2019},  {QStringLiteral("ldquo"), 0x201C},
        {QStringLiteral("rdquo"), 0x201D},  {QStringLiteral("hellip"), 0x2026}, {QStringLiteral("ndash"), 0x2013},
        {QStringLiteral("mdash"), 0x2014},
    };
    return entities;
}

// "&#x10FFFF;" and the names above fit in this many characters before the ";".
constexpr qsizetype MaxEntityLength = 10;

QString decodeEntities(const QString &text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        // Only as far as the longest entity: a search to the end for every "&" would make a
        // text full of them quadratic.
        const qsizetype found = c == u'&' ? QStringView(text).mid(i + 1, MaxEntityLength).indexOf(u';') : -1;
        const qsizetype semicolon = found < 0 ? -1 : i + 1 + found;
        if (semicolon < 0) {
            out += c;
            ++i;
            continue;
        }
        const QString name = text.mid(i + 1, semicolon - i - 1);
        bool ok = false;
        uint code = 0;
        if (name.startsWith(QLatin1Char('#'))) {
            const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
            code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            ok = ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        } else if (const auto found = namedEntities().constFind(name); found != namedEntities().cend()) {
            code = *found;
            ok = true;
        }
        if (!ok) {
            out += c;
            ++i;
            continue;
        }
        const char32_t ucs4 = code;
        out += QString::fromUcs4(&ucs4, 1);
        i = semicolon + 1;
    }
    return out;
}

QString attributeValue(const QString &tag, const QString &attribute)
{
    const QString lower = tag.toLower();
    qsizetype at = 0;
    while ((at = lower.indexOf(attribute, at)) >= 0) {
        const bool startsWord = at > 0 && isHtmlSpace(lower.at(at - 1));
        qsizetype i = at + attribute.size();
        while (i < lower.size() && isHtmlSpace(lower.at(i)))
            ++i;
        if (!startsWord || i >= lower.size() || lower.at(i) != u'=') {
            at += attribute.size();
            continue;
        }
        ++i;
        while (i < lower.size() && isHtmlSpace(lower.at(i)))
            ++i;
        if (i >= tag.size())
            return {};
        const QChar quote = tag.at(i);
        if (quote == u'"' || quote == u'\'') {
            const qsizetype end = tag.indexOf(quote, i + 1);
            return decodeEntities(tag.mid(i + 1, end < 0 ? -1 : end - i - 1));
        }
        qsizetype end = i;
        while (end < tag.size() && !isHtmlSpace(tag.at(end)) && tag.at(end) != u'>')
            ++end;
        return decodeEntities(tag.mid(i, end - i));
    }
    return {};
}

// The element name of a tag's inside ("p class=x" -> "p", "/p" -> "p"), lower case.
QString tagName(const QString &inside)
{
    qsizetype i = inside.startsWith(QLatin1Char('/')) ? 1 : 0;
    const qsizetype start = i;
    while (i < inside.size() && (inside.at(i).isLetterOrNumber()))
        ++i;
    return inside.mid(start, i - start).toLower();
}

// A tag starts with a letter, "/" then a letter, "!" or "?"; any other "<" is text.
bool opensTag(const QString &html, qsizetype at)
{
    const auto isAsciiLetter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    const QChar next = at + 1 < html.size() ? html.at(at + 1) : QChar();
    if (next == u'/')
        return at + 2 < html.size() && isAsciiLetter(html.at(at + 2));
    return isAsciiLetter(next) || next == u'!' || next == u'?';
}

bool isBlockElement(const QString &name)
{
    static const QStringList blocks = {
        QStringLiteral("p"),  QStringLiteral("div"), QStringLiteral("li"), QStringLiteral("ul"),
        QStringLiteral("ol"), QStringLiteral("tr"),  QStringLiteral("table"), QStringLiteral("h1"),
        QStringLiteral("h2"), QStringLiteral("h3"),  QStringLiteral("h4"), QStringLiteral("h5"),
        QStringLiteral("h6"), QStringLiteral("blockquote"), QStringLiteral("pre"),
    };
    return blocks.contains(name);
}

} // namespace

DecodedText decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return {normalisedLineEnds(utf8(bytes.mid(3))), Encoding::Utf8WithBom};
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto utf16 = QStringDecoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                                    QStringDecoder::Flag::Stateless);
        return {normalisedLineEnds(utf16(bytes.mid(2))), Encoding::Utf16};
    }
    auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return {normalisedLineEnds(std::move(text)), Encoding::Utf8};
    // Windows-1252 through the questionnaire's own table, which maps every byte.
    QByteArray withoutNul = bytes;
    withoutNul.replace('\0', ' ');
    return {QcmText::decodeLines(withoutNul).join(QLatin1Char('\n')), Encoding::Windows1252};
}

qsizetype firstNonUtf8(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length the lead byte announces, and the range of the byte after it that keeps
        // the sequence shortest and out of the surrogates and beyond U+10FFFF.
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return i;
        }
        if (i + length > size || data[i + 1] < low || data[i + 1] > high)
            return i;
        for (int k = 2; k < length; ++k) {
            if (data[i + k] < 0x80 || data[i + k] > 0xBF)
                return i;
        }
        i += length;
    }
    return -1;
}

QString htmlToText(const QString &html, QStringList *pictures)
{
    QString out;
    out.reserve(html.size());
    bool pendingSpace = false;
    const auto lineBreak = [&] {
        out += QLatin1Char('\n');
        pendingSpace = false;
    };

    // The next ">" from where the reading is, found once for all the "<" before it: searching
    // again for every "<" would make a text full of lone "<" quadratic. -1 when there is none.
    qsizetype nextClose = 0;
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html.at(i);
        if (c == u'<') {
            if (QStringView(html).mid(i, 4) == QLatin1String("<!--")) {
                const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
                i = end < 0 ? html.size() : end + 3;
                continue;
            }
            if (nextClose >= 0 && nextClose <= i)
                nextClose = html.indexOf(QLatin1Char('>'), i + 1);
            const qsizetype end = opensTag(html, i) ? nextClose : -1;
            if (end < 0) {
                // A lone "<" is text.
                if (pendingSpace && !out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
                    out += QLatin1Char(' ');
                pendingSpace = false;
                out += c;
                ++i;
                continue;
            }
            const QString inside = html.mid(i + 1, end - i - 1);
            const QString name = tagName(inside);
            i = end + 1;
            if (name == QLatin1String("script") || name == QLatin1String("style")) {
                if (!inside.startsWith(QLatin1Char('/'))) {
                    const qsizetype close = html.indexOf(QLatin1String("</") + name, i, Qt::CaseInsensitive);
                    const qsizetype closeEnd = close < 0 ? -1 : html.indexOf(QLatin1Char('>'), close);
                    i = closeEnd < 0 ? html.size() : closeEnd + 1;
                }
                continue;
            }
            if (name == QLatin1String("br")) {
                lineBreak();
            } else if (isBlockElement(name)) {
                if (!out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
                    lineBreak();
                pendingSpace = false;
            } else if (name == QLatin1String("img") && pictures) {
                const QString source = attributeValue(inside, QStringLiteral("src"));
                if (!source.isEmpty())
                    pictures->append(source);
            }
            continue;
        }
        if (isHtmlSpace(c)) {
            pendingSpace = true;
            ++i;
            continue;
        }
        if (pendingSpace && !out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
            out += QLatin1Char(' ');
        pendingSpace = false;
        out += c;
        ++i;
    }

    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = decodeEntities(line);
    while (!lines.isEmpty() && lines.constFirst().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

QString autoFormatToText(const QString &text, QStringList *pictures)
{
    QString html = text;
    html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return htmlToText(html, pictures);
}

QString textToHtml(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype l = 0; l < lines.size(); ++l) {
        if (l > 0)
            out += QLatin1String("<br>");
        const QString &line = lines.at(l);
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == u'&')
                out += QLatin1String("&amp;");
            else if (c == u'<')
                out += QLatin1String("&lt;");
            else if (c == u'>')
                out += QLatin1String("&gt;");
            else if (isHtmlSpace(c)) {
                const bool single = c == u' ' && i > 0 && i + 1 < line.size() && !isHtmlSpace(line.at(i - 1))
                    && !isHtmlSpace(line.at(i + 1));
                out += single ? QString(c) : QStringLiteral("&#%1;").arg(c.unicode());
            } else
                out += c;
        }
    }
    return out;
}

QString label(const QString &text)
{
    constexpr int MaxLabel = 50;
    QString simplified = text.simplified();
    if (simplified.size() > MaxLabel)
        simplified = simplified.left(MaxLabel - 1) + QChar(0x2026);
    return simplified;
}

} // namespace ExchangeText
