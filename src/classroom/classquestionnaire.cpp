#include "classroom/classquestionnaire.h"

#include "document/answerchoices.h"
#include "document/blockindex.h"
#include "document/correction.h"
#include "document/questiongroup.h"

#include <algorithm>

#include <QCryptographicHash>

using namespace QcmFormat;

namespace {

std::optional<int> rightAnswerOf(const QString &field, const ClassQuestion &question)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok, 10);
    if (!ok || value < 1 || value > AnswerCount || question.answers[size_t(value - 1)].isEmpty())
        return std::nullopt;
    return value;
}

} // namespace

namespace AnswerSets {

AnswerSet of(int answer)
{
    if (answer == 0)
        return 0;
    return answer >= 1 && answer <= AnswerCount ? AnswerSet(1u << (answer - 1)) : OutOfRange;
}

int count(AnswerSet set)
{
    int n = 0;
    for (int a = 1; a <= AnswerCount; ++a)
        n += contains(set, a) ? 1 : 0;
    return n;
}

bool contains(AnswerSet set, int answer)
{
    return answer >= 1 && answer <= AnswerCount && (set & (1u << (answer - 1))) != 0;
}

int first(AnswerSet set)
{
    for (int a = 1; a <= AnswerCount; ++a) {
        if (contains(set, a))
            return a;
    }
    return 0;
}

} // namespace AnswerSets

std::vector<int> ClassQuestion::answerNumbers() const
{
    std::vector<int> numbers;
    for (int k = 0; k < AnswerCount; ++k) {
        if (!answers[size_t(k)].isEmpty())
            numbers.push_back(k + 1);
    }
    return numbers;
}

ClassQuestionnaire ClassQuestionnaire::fromLines(const QStringList &lines)
{
    ClassQuestionnaire questionnaire;
    questionnaire.m_settings = ClassSettingsFormat::read(lines);
    const int count = std::min(countQuestions(lines), MaxQuestions);
    const std::vector<int> openings = firstOpeningLines(lines);
    questionnaire.m_questions.resize(size_t(count));
    for (int n = 0; n < count; ++n) {
        ClassQuestion &question = questionnaire.m_questions[size_t(n)];
        question.number = n;
        const int open = openings[size_t(n)];
        if (open < 0)
            continue;
        question.found = true;
        const int end = blockEnd(lines, open, n);
        question.title = fieldAt(lines, open + TitleLine, end, TitleKeyword.size());
        question.group = QuestionGroup::of(question.title);
        question.picture = fieldAt(lines, open + PictureLine, end, PictureKeyword.size());
        for (int k = 0; k < AnswerCount; ++k)
            question.answers[size_t(k)] = fieldAt(lines, open + FirstAnswerLine + k, end, answerKeyword(k + 1).size());
        question.rightAnswer =
            rightAnswerOf(fieldAt(lines, open + RightAnswerLine, end, RightAnswerKeyword.size()), question);
        const QStringList freeText = freeTextAt(lines, open, end, n);
        const AnswerChoices::Split choices = AnswerChoices::read(freeText, question.rightAnswer.value_or(0));
        question.feedback = choices.choices.feedback;
        // A right answer without a text cannot be ticked: it is not one.
        for (const int a : choices.choices.rightAnswers()) {
            if (!question.answers[size_t(a - 1)].isEmpty())
                question.rightAnswers |= AnswerSets::of(a);
        }
        if (!question.marked() || AnswerSets::count(question.rightAnswers) < 2)
            question.rightAnswers = 0;
        // The choice lines stay in the correction a class sees: they read as plain French.
        Correction::FreeTextParts parts = Correction::split(freeText);
        question.statement = std::move(parts.statement);
        question.correction = std::move(parts.correction);
        question.ownCorrection = choices.choices.isEmpty() ? question.correction
                                                           : Correction::split(choices.freeText).correction;
    }
    return questionnaire;
}

int ClassQuestionnaire::markedCount() const
{
    return int(std::count_if(m_questions.begin(), m_questions.end(),
                             [](const ClassQuestion &question) { return question.marked(); }));
}

QString ClassQuestionnaire::fingerprint() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const ClassQuestion &question : m_questions) {
        // Each field with its length first, so no two different questionnaires give one stream.
        auto add = [&hash](const QString &text) {
            const QByteArray bytes = text.toUtf8();
            hash.addData(QByteArray::number(bytes.size()) + ':');
            hash.addData(bytes);
        };
        add(QString::number(question.number));
        add(question.title);
        for (const QString &answer : question.answers)
            add(answer);
        add(QString::number(question.rightAnswer.value_or(0)));
        // Only for a question with several right answers, so that every other questionnaire
        // keeps the fingerprint its results files name.
        if (question.severalRight())
            add(QStringLiteral("plusieurs:%1").arg(question.rightAnswers));
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}
