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

const QRegularExpression &answerLine()
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Z])[.)][ \\t]+(.*)$"));
    return pattern;
}

const QRegularExpression &rightAnswerLine()
{
    static const QRegularExpression pattern(QStringLiteral("^ANSWER\\s*:\\s*(.*)$"));
    return pattern;
}

// Moodle's Aiken reader stops with an error at the first malformed question; here the question
// is skipped with the reason and reading goes on after its answer line or the next blank line.
class Reader
{
public:
    Reader(const QString &text, QuestionSink &sink, ProgressTask *progress)
        : m_text(text), m_sink(sink), m_progress(progress)
    {
    }

    void read()
    {
        while (!atEnd()) {
            if (peekLine().isEmpty()) {
                nextLine();
                continue;
            }
            readQuestion();
            if (m_progress)
                m_progress->advance(std::min(m_next, m_text.size()));
        }
    }

private:
    // The lines are taken one at a time, never all split at once: the file's text is not held
    // a second time.
    bool atEnd() const { return m_next > m_text.size(); }
    qsizetype lineEnd() const
    {
        const qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_next);
        return end < 0 ? m_text.size() : end;
    }
    QStringView peekLine() const { return QStringView(m_text).mid(m_next, lineEnd() - m_next).trimmed(); }
    QString nextLine()
    {
        const QString line = peekLine().toString();
        m_next = lineEnd() + 1;
        return line;
    }

    void readQuestion()
    {
        ExchangeQuestion question;
        QStringList stem;
        const int number = ++m_number;
        while (!atEnd()) {
            const QString line = nextLine();
            if (line.isEmpty()) {
                if (question.answers.isEmpty() && stem.isEmpty())
                    continue;
                skip(number, stem, tr("ligne « ANSWER: » manquante"));
                return;
            }
            const QRegularExpressionMatch answer = answerLine().match(line);
            const QRegularExpressionMatch right = rightAnswerLine().match(line);
            if (right.hasMatch()) {
                finish(number, stem, question, right.captured(1).trimmed());
                return;
            }
            if (answer.hasMatch() && !stem.isEmpty()) {
                const int expected = int(question.answers.size());
                if (answer.captured(1).at(0).unicode() - u'A' != expected) {
                    skipToEnd(number, stem, tr("réponses qui ne se suivent pas de A à Z"));
                    return;
                }
                question.answers.append(answer.captured(2).trimmed());
                continue;
            }
            if (!question.answers.isEmpty()) {
                skipToEnd(number, stem, tr("ligne inattendue après les réponses"));
                return;
            }
            stem.append(line);
        }
        skip(number, stem, tr("ligne « ANSWER: » manquante"));
    }

    void finish(int number, const QStringList &stem, ExchangeQuestion &question, const QString &letter)
    {
        if (stem.isEmpty())
            return skip(number, stem, tr("question sans texte"));
        if (question.answers.isEmpty())
            return skip(number, stem, tr("question sans réponses"));
        if (letter.size() != 1 || letter.at(0) < u'A' || letter.at(0) > u'Z')
            return skip(number, stem, tr("« ANSWER: » ne donne pas une lettre"));
        const int right = letter.at(0).unicode() - u'A';
        if (right >= question.answers.size())
            return skip(number, stem, tr("« ANSWER: %1 » ne désigne aucune réponse").arg(letter));
        question.text = stem.join(QLatin1Char('\n'));
        question.rightAnswer = right;
        m_sink.take(number, std::move(question));
    }

    // Passes the rest of a malformed question: up to its answer line or a blank line.
    void skipToEnd(int number, const QStringList &stem, const QString &reason)
    {
        while (!atEnd()) {
            const QString line = nextLine();
            if (line.isEmpty() || rightAnswerLine().match(line).hasMatch())
                break;
        }
        skip(number, stem, reason);
    }

    void skip(int number, const QStringList &stem, const QString &reason)
    {
        m_sink.skip(SkippedQuestion{number, ExchangeText::label(stem.join(QLatin1Char(' '))), reason});
    }

    const QString &m_text;
    QuestionSink &m_sink;
    ProgressTask *m_progress;
    qsizetype m_next = 0; // where the next line starts; past the end once the last one is taken
    int m_number = 0;     // questions met so far
};

// Line breaks become spaces; the reader trims each line, so the ends go too. Spaces inside
// are the author's and stay.
QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.trimmed();
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
    const QString title = oneLine(question.text);
    if (answerLine().match(title).hasMatch() || rightAnswerLine().match(title).hasMatch())
        return tr("le texte de la question se lirait comme une réponse");
    for (const QString &answer : question.answers) {
        if (rightAnswerLine().match(oneLine(answer)).hasMatch())
            return tr("une réponse se lirait comme la ligne « ANSWER: »");
    }
    return {};
}

QString write(const QList<ExchangeQuestion> &questions)
{
    QString out;
    for (const ExchangeQuestion &question : questions) {
        out += oneLine(question.text) + QLatin1Char('\n');
        for (qsizetype a = 0; a < question.answers.size(); ++a)
            out += QChar(char16_t(u'A' + a)) + QLatin1String(". ") + oneLine(question.answers.at(a)) + QLatin1Char('\n');
        out += QLatin1String("ANSWER: ") + QChar(char16_t(u'A' + question.rightAnswer)) + QLatin1String("\n\n");
    }
    return out;
}

} // namespace AikenFormat
