#include "runner/csvtext.h"

#include <QStringDecoder>

namespace CsvText {

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
    QString current;
    bool inQuotes = false;
    bool lineHasContent = false;
    auto endRow = [&] {
        if (lineHasContent) {
            fields.append(current);
            rows.push_back(fields);
        }
        fields.clear();
        current.clear();
        lineHasContent = false;
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != QLatin1Char('"')) {
                current += c;
            } else if (i + 1 < size && text.at(i + 1) == QLatin1Char('"')) {
                current += c;
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            inQuotes = true;
            lineHasContent = true;
        } else if (c == QLatin1Char(Separator)) {
            fields.append(current);
            current.clear();
            lineHasContent = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRow();
        } else {
            current += c;
            lineHasContent = true;
        }
    }
    if (inQuotes)
        return std::nullopt;
    endRow();
    return rows;
}

} // namespace CsvText
