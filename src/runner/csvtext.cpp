#include "runner/csvtext.h"

#include <QStringDecoder>

namespace CsvText {

namespace {

// One field, quoted when a spreadsheet would otherwise split or trim it.
QByteArray field(const QString &text)
{
    static const QString needsQuotes = QStringLiteral(";\"\r\n");
    bool quoted = false;
    for (const QChar c : text) {
        if (needsQuotes.contains(c)) {
            quoted = true;
            break;
        }
    }
    // Spaces at either end would be trimmed away by some spreadsheets unless quoted.
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        quoted = true;
    if (!quoted)
        return text.toUtf8();
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + doubled.toUtf8() + '"';
}

} // namespace

QByteArray row(const QStringList &fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += Separator;
        line += field(fields.at(i));
    }
    line += "\r\n";
    return line;
}

std::optional<std::vector<QStringList>> parse(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    QByteArrayView view(bytes);
    if (view.startsWith(QByteArrayView(ByteOrderMark)))
        view = view.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(view);
    if (decoder.hasError())
        return std::nullopt;

    std::vector<QStringList> rows;
    QStringList fields;
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const QChar *p = begin;
    const auto isLineEnd = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    while (p < end) {
        if (fields.isEmpty() && isLineEnd(*p)) {
            ++p; // an empty line is no row
            continue;
        }
        // One field: quoted (quotes doubled inside, anything else kept), or up to the next
        // separator or line end, sliced whole.
        QString field;
        if (*p == QLatin1Char('"')) {
            ++p;
            for (;;) {
                const QChar *quote = p;
                while (quote < end && *quote != QLatin1Char('"'))
                    ++quote;
                if (quote == end)
                    return std::nullopt;
                field.append(p, quote - p);
                p = quote + 1;
                if (p < end && *p == QLatin1Char('"')) {
                    field.append(QLatin1Char('"'));
                    ++p;
                    continue;
                }
                break;
            }
            // Text after the closing quote belongs to the field, as spreadsheets read it.
            const QChar *stop = p;
            while (stop < end && *stop != QLatin1Char(Separator) && !isLineEnd(*stop))
                ++stop;
            field.append(p, stop - p);
            p = stop;
        } else {
            const QChar *stop = p;
            while (stop < end && *stop != QLatin1Char(Separator) && !isLineEnd(*stop))
                ++stop;
            field = QString(p, stop - p);
            p = stop;
        }
        fields.append(std::move(field));
        if (p < end && *p == QLatin1Char(Separator)) {
            ++p;
            if (p == end || isLineEnd(*p))
                fields.append(QString()); // a separator ends the line: one more, empty field
            else
                continue;
        }
        // At a line end, or the end of the text.
        if (p < end && *p == QLatin1Char('\r') && p + 1 < end && p[1] == QLatin1Char('\n'))
            ++p;
        if (p < end)
            ++p;
        rows.push_back(std::move(fields));
        fields = QStringList();
    }
    return rows;
}

} // namespace CsvText
