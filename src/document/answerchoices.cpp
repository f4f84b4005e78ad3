#include "document/answerchoices.h"

#include "document/correction.h"

#include <QRegularExpression>

#include <algorithm>

namespace AnswerChoices {

namespace {

const QRegularExpression &rightAnswersPattern()
{
    // Accents and letter case as a hand may type them; the answers separated by commas,
    // semicolons, spaces or "et".
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*bonnes\\s+r[ée]ponses\\s*:\\s*([1-5](?:\\s*(?:,|;|\\bet\\b)?\\s*[1-5])*)\\s*\\.?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

const QRegularExpression &feedbackPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*commentaire\\s+de\\s+la\\s+r[ée]ponse\\s+([1-5])\\s*:\\s*(\\S.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

// The answers a "Bonnes réponses" line names, or an empty list when the line is not one.
QList<int> namedAnswers(const QString &line)
{
    const QRegularExpressionMatch match = rightAnswersPattern().match(line);
    QList<int> answers;
    if (!match.hasMatch())
        return answers;
    for (const QChar c : match.capturedView(1)) {
        if (c.isDigit() && !answers.contains(c.digitValue()))
            answers << c.digitValue();
    }
    return answers;
}

int markerIndex(const QStringList &freeText)
{
    const auto at = std::find_if(freeText.cbegin(), freeText.cend(), Correction::isMarker);
    return at == freeText.cend() ? -1 : int(at - freeText.cbegin());
}

bool bareMarker(const QString &line)
{
    return Correction::split({line}).correction.isEmpty();
}

} // namespace

bool Choices::several() const
{
    return std::count(right.cbegin(), right.cend(), true) >= 2;
}

bool Choices::isEmpty() const
{
    return !several() && std::all_of(feedback.cbegin(), feedback.cend(), [](const QString &t) { return t.isEmpty(); });
}

QList<int> Choices::rightAnswers() const
{
    QList<int> answers;
    if (!several())
        return answers;
    for (int a = 0; a < QcmFormat::AnswerCount; ++a) {
        if (right[size_t(a)])
            answers << a + 1;
    }
    return answers;
}

int Choices::firstRight(int single) const
{
    const QList<int> answers = rightAnswers();
    return answers.isEmpty() ? single : answers.first();
}

Split read(const QStringList &freeText, int rightAnswer)
{
    Split split;
    const int marker = markerIndex(freeText);
    if (marker < 0) {
        split.freeText = freeText;
        return split;
    }
    split.freeText = freeText.mid(0, marker + 1);
    bool rightSeen = false;
    for (int i = marker + 1; i < freeText.size(); ++i) {
        const QString &line = freeText.at(i);
        if (!rightSeen) {
            const QList<int> answers = namedAnswers(line);
            if (answers.size() >= 2 && answers.contains(rightAnswer)) {
                for (const int a : answers)
                    split.choices.right[size_t(a - 1)] = true;
                rightSeen = true;
                continue;
            }
        }
        const QRegularExpressionMatch feedback = feedbackPattern().match(line);
        if (feedback.hasMatch()) {
            QString &text = split.choices.feedback[size_t(feedback.capturedView(1).toInt() - 1)];
            if (text.isEmpty()) {
                text = feedback.captured(2).trimmed();
                continue;
            }
        }
        split.freeText << line;
    }
    // The marker that only the choice lines needed goes with them, so the author's text reads
    // back as it was typed.
    if (!split.choices.isEmpty() && split.freeText.size() == marker + 1 && bareMarker(freeText.at(marker)))
        split.freeText.removeLast();
    return split;
}

QStringList write(const QStringList &freeText, const Choices &choices)
{
    if (choices.isEmpty())
        return freeText;
    QStringList lines;
    if (choices.several())
        lines << rightAnswersLine(choices.rightAnswers());
    for (int a = 0; a < QcmFormat::AnswerCount; ++a) {
        // One file line each: a line break typed in the feedback would end it early.
        const QString text = choices.feedback[size_t(a)].simplified();
        if (!text.isEmpty())
            lines << feedbackLine(a + 1, text);
    }
    // The choice lines stand within the twelve lines the sheet reads back even when the author's
    // text is longer: the marker and they come early enough, and what the author wrote past
    // the limit follows them (it was past the limit already, and the sheet says so).
    const int marker = markerIndex(freeText);
    const int end = marker < 0 ? int(freeText.size()) : marker;
    const int at = std::max(0, std::min(end, QcmFormat::MaxFreeTextLines - 1 - int(lines.size())));
    QStringList written = freeText.mid(0, at);
    written << (marker < 0 ? Correction::marker() : freeText.at(marker)) << lines << freeText.mid(at, end - at);
    if (marker >= 0)
        written << freeText.mid(marker + 1);
    return written;
}

int lineCount(const QStringList &freeText, const Choices &choices)
{
    return int(write(freeText, choices).size());
}

QString rightAnswersLine(const QList<int> &answers)
{
    QStringList numbers;
    for (const int a : answers)
        numbers << QString::number(a);
    return QStringLiteral("Bonnes réponses : ") + numbers.join(QStringLiteral(", "));
}

QString feedbackLine(int answer, const QString &text)
{
    return QStringLiteral("Commentaire de la réponse %1 : %2").arg(answer).arg(text);
}

} // namespace AnswerChoices
