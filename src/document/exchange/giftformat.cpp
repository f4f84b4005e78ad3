#include "document/exchange/giftformat.h"

#include "document/exchange/answerweights.h"

#include "document/exchange/exchangetext.h"
#include "document/exchange/quizcategory.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <optional>
#include <vector>

namespace GiftFormat {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("GiftFormat", text);
}

// GIFT text with its escapes resolved. Every character remembers whether it was written after a
// backslash, so that an escaped "~" or "{" is never taken for syntax.
class GiftText
{
public:
    static GiftText parse(const QString &raw)
    {
        GiftText text;
        text.m_chars.reserve(raw.size());
        for (qsizetype i = 0; i < raw.size(); ++i) {
            const QChar c = raw.at(i);
            if (c == u'\\' && i + 1 < raw.size()) {
                const QChar next = raw.at(i + 1);
                if (QStringView(u"\\~=#{}:").contains(next)) {
                    text.append(next, true);
                    ++i;
                    continue;
                }
                if (next == u'n') {
                    text.append(QLatin1Char('\n'), true);
                    ++i;
                    continue;
                }
            }
            text.append(c, false);
        }
        return text;
    }

    qsizetype size() const { return m_chars.size(); }
    bool isEmpty() const { return m_chars.isEmpty(); }
    const QString &text() const { return m_chars; }

    // The first unescaped occurrence of `marks` from `from`, or -1.
    qsizetype indexOf(QStringView marks, qsizetype from = 0) const
    {
        for (qsizetype i = std::max<qsizetype>(from, 0); i + marks.size() <= size(); ++i) {
            bool found = true;
            for (qsizetype k = 0; k < marks.size() && found; ++k)
                found = !m_escaped[i + k] && m_chars.at(i + k) == marks.at(k);
            if (found)
                return i;
        }
        return -1;
    }
    bool startsWith(QStringView marks) const
    {
        if (size() < marks.size())
            return false;
        for (qsizetype k = 0; k < marks.size(); ++k) {
            if (m_escaped[k] || m_chars.at(k) != marks.at(k))
                return false;
        }
        return true;
    }
    bool isMark(qsizetype i, QChar c) const { return !m_escaped[i] && m_chars.at(i) == c; }

    GiftText mid(qsizetype from, qsizetype length = -1) const
    {
        from = std::clamp<qsizetype>(from, 0, size());
        if (length < 0 || from + length > size())
            length = size() - from;
        GiftText part;
        part.m_chars = m_chars.mid(from, length);
        part.m_escaped.assign(m_escaped.begin() + from, m_escaped.begin() + from + length);
        return part;
    }

    // Unescaped white space gone at both ends ("\n" written as an escape stays).
    GiftText trimmed() const
    {
        qsizetype start = 0;
        qsizetype end = size();
        while (start < end && !m_escaped[start] && m_chars.at(start).isSpace())
            ++start;
        while (end > start && !m_escaped[end - 1] && m_chars.at(end - 1).isSpace())
            --end;
        return mid(start, end - start);
    }

    GiftText operator+(const GiftText &other) const
    {
        GiftText sum = *this;
        sum.m_chars += other.m_chars;
        sum.m_escaped.insert(sum.m_escaped.end(), other.m_escaped.begin(), other.m_escaped.end());
        return sum;
    }

private:
    void append(QChar c, bool escaped)
    {
        m_chars.append(c);
        m_escaped.push_back(escaped);
    }

    QString m_chars;
    // A byte per character, not a bit: parts are copied often, and bytes copy in one move.
    std::vector<char> m_escaped;
};

enum class TextFormat { Moodle, Html, Plain, Markdown };

// The format a "[html]"-style marker names. Moodle knows these four names, in lower case only:
// "[HTML]" or "[texte]" is text.
std::optional<TextFormat> formatNamed(const QString &name)
{
    static const QList<std::pair<QString, TextFormat>> formats = {
        {QStringLiteral("html"), TextFormat::Html},
        {QStringLiteral("moodle"), TextFormat::Moodle},
        {QStringLiteral("plain"), TextFormat::Plain},
        {QStringLiteral("markdown"), TextFormat::Markdown},
    };
    for (const auto &[formatName, value] : formats) {
        if (name == formatName)
            return value;
    }
    return std::nullopt;
}

// A format marker at the very start chooses how the text that follows is read; without one,
// `fallback`. Moodle looks for the marker in the text as it stands (a general feedback keeps
// the blanks after "####"), then trims what follows.
QString plainText(GiftText text, TextFormat fallback, TextFormat *used = nullptr)
{
    TextFormat format = fallback;
    if (text.startsWith(u"[")) {
        const qsizetype close = text.indexOf(u"]");
        if (const auto named = formatNamed(close > 0 ? text.text().mid(1, close - 1) : QString())) {
            format = *named;
            text = text.mid(close + 1);
        }
    }
    text = text.trimmed();
    if (used)
        *used = format;
    switch (format) {
    case TextFormat::Html:
        return ExchangeText::htmlToText(text.text());
    case TextFormat::Moodle:
        return ExchangeText::autoFormatToText(text.text());
    case TextFormat::Plain:
    case TextFormat::Markdown:
        break;
    }
    return text.text();
}

// "%50%" at the start of a wrong answer: Moodle's weight, from "%" and up to two digits (a
// minus sign, a decimal part) to the next "%". Anything else after "%" is the answer's text.
std::optional<double> weightOf(const GiftText &answer, qsizetype &weightEnd)
{
    static const QRegularExpression weight(QStringLiteral("^%(-*)([0-9]{1,2}\\.?[0-9]*)%"));
    const QRegularExpressionMatch match = weight.match(answer.text());
    if (!match.hasMatch())
        return std::nullopt;
    weightEnd = match.capturedEnd(0);
    const double value = match.captured(2).toDouble();
    return match.capturedLength(1) > 0 ? -value : value;
}

struct Chunk
{
    QString text; // its lines but the comments, joined by "\n"
    QString picture;
    bool open = false;
};

// Blank lines separate questions; comment lines belong to no text, but the picture comment
// written by write() names the picture of the question it stands in. Each chunk goes to
// `take` as soon as it ends, with the position in `text` where it ends, so that the file's
// text is never held a second time as a list of lines.
template<typename Take>
void forEachChunk(const QString &text, Take take)
{
    static const QRegularExpression pictureComment(QStringLiteral("^//\\s*image\\s*:\\s*(.*\\S)\\s*$"),
                                                   QRegularExpression::CaseInsensitiveOption);
    Chunk current;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).mid(start, end - start);
        start = end + 1;
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            if (current.open)
                take(current, end);
            current = Chunk();
            continue;
        }
        current.open = true;
        if (trimmed.startsWith(QLatin1String("//"))) {
            const QRegularExpressionMatch match = pictureComment.match(trimmed.toString());
            if (match.hasMatch())
                current.picture = match.captured(1);
            continue;
        }
        if (!current.text.isEmpty())
            current.text += QLatin1Char('\n');
        current.text += line;
    }
    if (current.open)
        take(current, text.size());
}

struct Skip
{
    QString reason;
};

// The answers of a multiple-choice question ("=right#feedback ~wrong ... ####general").
void readChoices(GiftText choices, TextFormat format, ExchangeQuestion &question, QString &note)
{
    // Moodle takes the last "####" for the general feedback; an earlier one stays in an answer.
    qsizetype general = -1;
    for (qsizetype at = choices.indexOf(u"####"); at >= 0; at = choices.indexOf(u"####", at + 1))
        general = at;
    if (general >= 0) {
        const QString feedback = plainText(choices.mid(general + 4), format);
        if (!feedback.isEmpty())
            question.feedback = feedback.split(QLatin1Char('\n'));
        choices = choices.mid(0, general);
    }

    std::vector<qsizetype> starts;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        if (choices.isMark(i, QLatin1Char('~')) || choices.isMark(i, QLatin1Char('=')))
            starts.push_back(i);
    }
    if (starts.empty() || !choices.mid(0, starts.front()).trimmed().isEmpty())
        throw Skip{tr("texte hors des réponses entre les accolades")};

    QStringList answerFeedback;
    QList<double> weights;
    int rightCount = 0;
    bool weighted = false;
    for (size_t k = 0; k < starts.size(); ++k) {
        const qsizetype from = starts[k] + 1;
        const qsizetype to = k + 1 < starts.size() ? starts[k + 1] : choices.size();
        const bool right = choices.isMark(starts[k], QLatin1Char('='));
        GiftText body = choices.mid(from, to - from).trimmed();
        // After "=" the answer is right whatever follows: "=%50%a" is the text "%50%a".
        qsizetype weightEnd = 0;
        double weight = right ? 100 : 0;
        if (const std::optional<double> given = right ? std::nullopt : weightOf(body, weightEnd)) {
            weighted = weighted || *given != 0;
            weight = *given;
            body = body.mid(weightEnd);
        }
        QString feedback;
        const qsizetype hash = body.indexOf(u"#");
        if (hash >= 0) {
            feedback = plainText(body.mid(hash + 1).trimmed(), format);
            body = body.mid(0, hash);
        }
        const QString answer = plainText(body.trimmed(), format);
        if (answer.isEmpty()) {
            if (right || weight > 0)
                throw Skip{tr("la bonne réponse est vide")};
            continue;
        }
        if (right) {
            ++rightCount;
            question.rightAnswer = int(question.answers.size());
        }
        question.answers.append(answer);
        weights.append(weight);
        answerFeedback.append(feedback);
    }
    if (rightCount > 0 && weighted)
        throw Skip{tr("réponses pondérées en pourcentage")};
    if (rightCount > 1)
        throw Skip{tr("plusieurs bonnes réponses")};
    if (rightCount == 0) {
        // Without "=", Moodle makes a question where several answers may be ticked, each worth
        // its weight.
        if (!weighted)
            throw Skip{tr("aucune bonne réponse (« = »)")};
        QString reason;
        if (!AnswerWeights::giveRightAnswers(weights, question, note, reason))
            throw Skip{reason};
    }
    if (std::any_of(answerFeedback.cbegin(), answerFeedback.cend(), [](const QString &t) { return !t.isEmpty(); }))
        question.answerFeedback = answerFeedback;
}

const QString CategoryMarker = QStringLiteral("$CATEGORY:");

// One question from its chunk; nothing when the chunk is a category or holds only comments.
std::optional<ExchangeQuestion> readQuestion(const Chunk &chunk, QString &label, QString &note)
{
    GiftText text = GiftText::parse(chunk.text).trimmed();
    if (text.isEmpty() || text.text().startsWith(CategoryMarker))
        return std::nullopt;
    label = ExchangeText::label(text.text());

    ExchangeQuestion question;
    question.picture = chunk.picture;
    if (text.startsWith(u"::")) {
        const qsizetype end = text.indexOf(u"::", 2);
        if (end < 0)
            throw Skip{tr("nom de question sans « :: » fermant")};
        question.name = text.mid(2, end - 2).trimmed().text();
        if (!question.name.isEmpty())
            label = ExchangeText::label(question.name);
        text = text.mid(end + 2).trimmed();
    }

    const qsizetype open = text.indexOf(u"{");
    if (open < 0)
        throw Skip{tr("pas de réponses : une description, pas une question")};
    const qsizetype close = text.indexOf(u"}", open + 1);
    if (close < 0)
        throw Skip{tr("accolade fermante « } » manquante")};
    const GiftText after = text.mid(close + 1);
    if (after.indexOf(u"{") >= 0 || after.indexOf(u"}") >= 0)
        throw Skip{tr("plusieurs blocs de réponses")};

    // Text after the answers makes a missing-word question: the answers go in the blank.
    GiftText stem = text.mid(0, open);
    if (!after.trimmed().isEmpty())
        stem = stem + GiftText::parse(QStringLiteral("_____")) + after;
    TextFormat format = TextFormat::Moodle;
    question.text = plainText(stem, TextFormat::Moodle, &format);

    const GiftText choices = text.mid(open + 1, close - open - 1).trimmed();
    if (choices.isEmpty())
        throw Skip{tr("question ouverte (composition)")};
    if (choices.startsWith(u"#"))
        throw Skip{tr("question numérique")};
    const qsizetype hash = choices.indexOf(u"#");
    const QString head = (hash >= 0 ? choices.mid(0, hash) : choices).trimmed().text().toUpper();
    if (head == QLatin1String("T") || head == QLatin1String("F") || head == QLatin1String("TRUE")
        || head == QLatin1String("FALSE"))
        throw Skip{tr("question vrai/faux")};
    if (choices.indexOf(u"~") < 0) {
        if (choices.indexOf(u"->") >= 0)
            throw Skip{tr("question d'appariement")};
        throw Skip{tr("question à réponse courte")};
    }
    readChoices(choices, format, question, note);
    return question;
}

} // namespace

void read(const QString &text, QuestionSink &sink, ProgressTask *progress)
{
    int number = 0;
    forEachChunk(text, [&](const Chunk &chunk, qsizetype end) {
        // Moodle reads the path as written, escapes included.
        const QString trimmed = chunk.text.trimmed();
        if (trimmed.startsWith(CategoryMarker))
            sink.category(trimmed.mid(CategoryMarker.size()).trimmed());
        QString label;
        QString note;
        try {
            std::optional<ExchangeQuestion> question = readQuestion(chunk, label, note);
            if (question) {
                ++number;
                if (!note.isEmpty())
                    sink.note(tr("Question %1 : %2").arg(number).arg(note));
                sink.take(number, std::move(*question));
            }
        } catch (const Skip &skip) {
            sink.skip(SkippedQuestion{++number, label, skip.reason});
        }
        if (progress)
            progress->advance(end);
    });
}

ReadResult read(const QString &text)
{
    ReadCollector collector;
    read(text, collector);
    return std::move(collector.result);
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (QStringView(u"\\~=#{}:").contains(c))
            out += QLatin1Char('\\');
        if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c != u'\r')
            out += c;
    }
    return out;
}

namespace {

// A text Moodle would read otherwise when it starts with "[" (a format marker) or "%" (a weight)
// goes after an explicit "[plain]": Moodle reads one marker, and what follows it as it stands.
QString writtenText(const QString &text)
{
    const QString start = text.trimmed();
    const bool misread = start.startsWith(QLatin1Char('[')) || start.startsWith(QLatin1Char('%'));
    return misread ? QLatin1String("[plain]") + escaped(text) : escaped(text);
}

} // namespace

QString write(const QList<ExchangeQuestion> &questions, const QString &category)
{
    QString out;
    if (!category.isEmpty())
        out += CategoryMarker + QLatin1Char(' ') + QuizCategory::pathFor(category) + QLatin1String("\n\n");
    for (const ExchangeQuestion &question : questions) {
        if (!question.picture.isEmpty())
            out += QLatin1String("// image : ") + QString(question.picture).replace(QLatin1Char('\n'), QLatin1Char(' '))
                + QLatin1Char('\n');
        if (!question.name.isEmpty())
            out += QLatin1String("::") + escaped(question.name) + QLatin1String("::");
        out += QLatin1String("[plain]") + escaped(question.text) + QLatin1String(" {\n");
        // Several right answers: every answer with its weight, as Moodle marks the program's
        // partial credit.
        const QList<double> weights = question.rightAnswers.size() >= 2
            ? AnswerWeights::fractions(int(question.answers.size()), question.rightAnswers)
            : QList<double>();
        for (qsizetype a = 0; a < question.answers.size(); ++a) {
            out += QLatin1Char('\t');
            if (!weights.isEmpty())
                out += QLatin1String("~%") + AnswerWeights::fractionText(weights.at(a)) + QLatin1Char('%');
            else
                out += QLatin1Char(a == question.rightAnswer ? '=' : '~');
            out += writtenText(question.answers.at(a));
            const QString feedback = question.answerFeedback.value(a);
            if (!feedback.isEmpty())
                out += QLatin1String(" #") + writtenText(feedback);
            out += QLatin1Char('\n');
        }
        if (!question.feedback.isEmpty())
            out += QLatin1String("\t####") + writtenText(question.feedback.join(QLatin1Char('\n'))) + QLatin1Char('\n');
        out += QLatin1String("}\n\n");
    }
    return out;
}

} // namespace GiftFormat
