#include "document/exchange/aikenformat.h"

#include "document/exchange/exchangetext.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace AikenFormat {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("AikenFormat", text);
}

constexpr int MaxAnswers = 26; // A to Z

// Moodle's test for an answer: a capital, "." or ")", then the text, with or without a blank.
const QRegularExpression &answerLine()
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Z])[.)][ \\t]?(.*)$"));
    return pattern;
}

// Moodle wants "ANSWER:" exactly; a blank before the colon is taken too, as it is meant.
const QRegularExpression &rightAnswerLine()
{
    static const QRegularExpression pattern(QStringLiteral("^ANSWER\\s*:\\s*(.*)$"));
    return pattern;
}

// Moodle passes over a line of fewer than two bytes of UTF-8.
bool isPassedOver(QStringView line)
{
    return line.isEmpty() || (line.size() == 1 && line.front().unicode() < 0x80);
}

// The line without the blanks Moodle trims (ASCII ones: a no-break space stays).
QStringView moodleTrimmed(QStringView line)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\0' || c == u'\v'; };
    while (!line.isEmpty() && isBlank(line.front()))
        line = line.mid(1);
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    return line;
}

// Reads as Moodle does: the answers in the order of their lines, the letter of "ANSWER:" as a
// place in that order, blank and one-byte lines passed over. Where Moodle refuses the whole file
// at the first malformed question, the question is skipped here with its reason and reading goes
// on; a question text on several lines, or starting like an answer, is taken as written.
class Reader
{
public:
    Reader(const QString &text, QuestionSink &sink, ProgressTask *progress)
        : m_text(text), m_sink(sink), m_progress(progress)
    {
    }

    void read()
    {
        while (m_next <= m_text.size()) {
            readLine(nextLine());
            if (m_progress && !m_open)
                m_progress->advance(std::min(m_next, m_text.size()));
        }
        if (m_open)
            skipOpen(tr("ligne « ANSWER: » manquante"));
        if (m_progress)
            m_progress->advance(m_text.size());
    }

private:
    // The lines are taken one at a time, never all split at once: the file's text is not held
    // a second time.
    QString nextLine()
    {
        qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_next);
        if (end < 0)
            end = m_text.size();
        const QString line = moodleTrimmed(QStringView(m_text).mid(m_next, end - m_next)).toString();
        m_next = end + 1;
        return line;
    }

    void readLine(const QString &line)
    {
        if (isPassedOver(line))
            return;
        if (const QRegularExpressionMatch answer = answerLine().match(line); answer.hasMatch() && m_open) {
            m_question.answers.append(answer.captured(2).trimmed());
            m_letters.append(answer.captured(1).at(0));
            return;
        }
        if (const QRegularExpressionMatch right = rightAnswerLine().match(line); right.hasMatch()) {
            if (!m_open)
                m_sink.skip(SkippedQuestion{++m_number, QString(), tr("ligne « ANSWER: » sans texte de question avant elle")});
            else
                finish(right.captured(1).trimmed());
            return;
        }
        if (m_open && !m_question.answers.isEmpty())
            skipOpen(tr("ligne « ANSWER: » manquante"));
        if (!m_open) {
            m_open = true;
            ++m_number;
        }
        m_stem.append(line.trimmed());
    }

    void finish(const QString &written)
    {
        const QChar letter = written.isEmpty() ? QChar() : written.at(0);
        if (m_question.answers.isEmpty())
            return skipOpen(tr("question sans réponses"));
        if (letter < u'A' || letter > u'Z')
            return skipOpen(tr("« ANSWER: » ne donne pas une lettre de A à Z"));
        const int right = letter.unicode() - u'A';
        if (right >= m_question.answers.size())
            return skipOpen(tr("« ANSWER: %1 » ne désigne aucune réponse").arg(letter));
        for (qsizetype a = 0; a < m_letters.size(); ++a) {
            if (m_letters.at(a).unicode() != u'A' + a) {
                m_sink.note(tr("Question %1 : les lettres des réponses ne se suivent pas de A à Z ; comme Moodle, "
                               "la bonne réponse « %2 » est prise pour la %3e ligne de réponse.")
                                .arg(m_number)
                                .arg(letter)
                                .arg(right + 1));
                break;
            }
        }
        m_question.text = m_stem.join(QLatin1Char('\n'));
        m_question.rightAnswer = right;
        m_sink.take(m_number, std::move(m_question));
        reset();
    }

    void skipOpen(const QString &reason)
    {
        m_sink.skip(SkippedQuestion{m_number, ExchangeText::label(m_stem.join(QLatin1Char(' '))), reason});
        reset();
    }

    void reset()
    {
        m_open = false;
        m_question = ExchangeQuestion();
        m_stem.clear();
        m_letters.clear();
    }

    const QString &m_text;
    QuestionSink &m_sink;
    ProgressTask *m_progress;
    qsizetype m_next = 0; // where the next line starts; past the end once the last one is taken
    int m_number = 0;     // questions met so far
    // The question being read, from its first line to its answer line.
    bool m_open = false;
    QStringList m_stem;
    QList<QChar> m_letters;
    ExchangeQuestion m_question;
};

// Line breaks become spaces; the reader trims each line, so the ends go too. Spaces inside
// are the author's and stay.
QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.trimmed();
}

// A question line Moodle would take for an answer or the answer line, or pass over, makes it
// refuse the whole file. A no-break space before it keeps it a question for Moodle, which trims
// only ASCII blanks, and is trimmed away again when this program reads it.
QString questionLine(const QString &text)
{
    const QString line = oneLine(text);
    const bool misread = line.toUtf8().size() < 2 || answerLine().match(line).hasMatch()
        || rightAnswerLine().match(line).hasMatch();
    return misread ? QChar(0x00A0) + line : line;
}

} // namespace

void read(const QString &text, QuestionSink &sink, ProgressTask *progress)
{
    Reader(text, sink, progress).read();
}

ReadResult read(const QString &text)
{
    ReadCollector collector;
    read(text, collector);
    return std::move(collector.result);
}

QString unwritable(const ExchangeQuestion &question)
{
    if (question.answers.size() > MaxAnswers)
        return tr("plus de 26 réponses");
    // Aiken names one right answer: the others would be marked wrong.
    if (question.rightAnswers.size() >= 2)
        return tr("plusieurs bonnes réponses : Aiken n'en écrit qu'une");
    return {};
}

QString write(const QList<ExchangeQuestion> &questions)
{
    QString out;
    for (const ExchangeQuestion &question : questions) {
        out += questionLine(question.text) + QLatin1Char('\n');
        for (qsizetype a = 0; a < question.answers.size(); ++a)
            out += QChar(char16_t(u'A' + a)) + QLatin1String(". ") + oneLine(question.answers.at(a)) + QLatin1Char('\n');
        out += QLatin1String("ANSWER: ") + QChar(char16_t(u'A' + question.rightAnswer)) + QLatin1String("\n\n");
    }
    return out;
}

} // namespace AikenFormat
