#include "results/csvtext.h"

#include "document/exchange/exchangetext.h"

#include <cstring>

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

bool looksLikeFormula(const QString &text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starts.contains(text.front());
}

} // namespace

QString textCell(const QString &text)
{
    return looksLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

QString cellText(const QString &cell)
{
    return cell.startsWith(QLatin1Char('\'')) && looksLikeFormula(cell.mid(1)) ? cell.mid(1) : cell;
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
    // UTF-16 is the one text with NUL bytes; in any other a NUL means this is no text at all.
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (!utf16 && bytes.contains('\0'))
        return std::nullopt;
    const QString text = ExchangeText::decode(bytes).text;

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

void QuoteTracker::feed(QByteArrayView bytes)
{
    const char *const begin = bytes.data();
    const char *const end = begin + bytes.size();
    const char *p = begin;
    if (p < end && m_state == State::QuoteSeen) {
        if (*p == '"') {
            m_state = State::Quoted;
            ++p;
        } else {
            m_state = State::Unquoted;
        }
    }
    while (p < end) {
        const auto *quote = static_cast<const char *>(std::memchr(p, '"', size_t(end - p)));
        if (!quote)
            break;
        if (m_state == State::Quoted) {
            if (quote + 1 == end) {
                m_state = State::QuoteSeen;
            } else if (quote[1] == '"') {
                ++quote;
            } else {
                m_state = State::Unquoted;
            }
        } else {
            // A quote opens a field only where a field begins, as parse() reads it; anywhere
            // else it is text.
            const char before = quote > begin ? quote[-1] : m_last;
            if (before == Separator || before == '\r' || before == '\n')
                m_state = State::Quoted;
        }
        p = quote + 1;
    }
    if (!bytes.isEmpty())
        m_last = bytes.back();
}

} // namespace CsvText
