#include "runner/runsession.h"

#include <algorithm>

namespace {

using namespace QcmFormat;

std::optional<int> solutionOf(const QString &field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

void RunSession::Init(const QStringList &document)
{
    m_document = document;
    m_blockLines.clear();
    m_questionCount = 0;
    m_current = 0;
    m_answerCount = 0;
    m_answers.clear();
    m_solutions.clear();
    m_titles.clear();
}

void RunSession::Compte()
{
    m_blockLines.assign(size_t(MaxQuestions), -1);
    int count = 0;
    const int lineCount = int(m_document.size());
    for (int i = 0; i < lineCount; ++i) {
        const QString &line = m_document.at(i);
        if (startsOpeningTag(line))
            ++count;
        // The first line equal to a block's opening tag, letter case ignored, is its block: the
        // same line the sheet's block search finds.
        const int number = openingTagNumber(line);
        if (number >= 0 && m_blockLines[size_t(number)] < 0)
            m_blockLines[size_t(number)] = i;
    }
    m_questionCount = count;
    m_answers.resize(size_t(count), 0);
    m_solutions.resize(size_t(count));
    m_titles.resize(size_t(count));
    m_current = 0;
}

int RunSession::blockLine(int question) const
{
    if (m_blockLines.empty() || question < 0)
        return -1;
    // Tags carry the last four digits of the number: question 10000 would stand in block 0000.
    return m_blockLines[size_t(question % MaxQuestions)];
}

RunQuestion RunSession::Exec()
{
    m_current = 0;
    return LitFiche();
}

RunQuestion RunSession::LitFiche()
{
    RunQuestion shown;
    shown.number = m_current + 1;
    m_answerCount = 0;
    const int open = blockLine(m_current);
    if (open < 0)
        return shown;

    const int end = blockEnd(m_document, open, m_current);
    shown.found = true;
    shown.title = fieldAt(m_document, open + TitleLine, end, TitleKeyword.size());
    shown.picture = fieldAt(m_document, open + PictureLine, end, PictureKeyword.size());
    for (int k = 0; k < QcmFormat::AnswerCount; ++k) {
        const QString answer = fieldAt(m_document, open + FirstAnswerLine + k, end, answerKeyword(k + 1).size());
        if (answer.isEmpty())
            continue;
        shown.answerLines[size_t(k)] = QString::number(k + 1) + QStringLiteral(") ") + answer;
        ++m_answerCount;
    }
    // The document's last line is never free text, even when a block left open runs up to it.
    shown.freeText = freeTextAt(m_document, open, std::min(end, int(m_document.size()) - 1), m_current);
    shown.answerCount = m_answerCount;

    if (m_current < m_questionCount) {
        m_titles[size_t(m_current)] = shown.title;
        m_solutions[size_t(m_current)] =
            solutionOf(fieldAt(m_document, open + RightAnswerLine, end, RightAnswerKeyword.size()));
        shown.answer = m_answers[size_t(m_current)];
    }
    return shown;
}

void RunSession::readTitleAndSolution(int question)
{
    const int open = blockLine(question);
    if (open < 0) {
        m_titles[size_t(question)].clear();
        m_solutions[size_t(question)].reset();
        return;
    }
    const int end = blockEnd(m_document, open, question);
    m_titles[size_t(question)] = fieldAt(m_document, open + TitleLine, end, TitleKeyword.size());
    m_solutions[size_t(question)] =
        solutionOf(fieldAt(m_document, open + RightAnswerLine, end, RightAnswerKeyword.size()));
}

void RunSession::storeAnswer(int boxValue)
{
    if (boxValue > 0 && m_current < m_questionCount)
        m_answers[size_t(m_current)] = boxValue;
}

void RunSession::goTo(int question)
{
    m_current = std::clamp(question, 0, std::max(m_questionCount - 1, 0));
}

void RunSession::Premier(int boxValue)
{
    storeAnswer(boxValue);
    goTo(0);
}

void RunSession::Precedent(int boxValue)
{
    storeAnswer(boxValue);
    goTo(m_current - 1);
}

bool RunSession::Suivant(int boxValue)
{
    storeAnswer(boxValue);
    const bool pastLast = m_current + 1 >= m_questionCount;
    goTo(m_current + 1);
    return pastLast;
}

void RunSession::Dernier(int boxValue)
{
    storeAnswer(boxValue);
    goTo(m_questionCount - 1);
}

RunResults RunSession::score(int boxValue)
{
    storeAnswer(boxValue);
    RunResults results;
    results.rows.resize(size_t(m_questionCount));
    for (int q = 0; q < m_questionCount; ++q) {
        readTitleAndSolution(q);
        RunResultRow &row = results.rows[size_t(q)];
        row.title = m_titles[size_t(q)];
        row.answer = m_answers[size_t(q)];
        row.solution = m_solutions[size_t(q)];
        // An unanswered question is never right, even against a "REPONSE 0" line.
        row.right = row.answer > 0 && row.solution == row.answer;
        results.rightCount += row.right ? 1 : 0;
    }
    const ClassQuestionnaire questionnaire = ClassQuestionnaire::fromLines(m_document);
    std::vector<int> answers(size_t(questionnaire.size()), 0);
    for (size_t q = 0; q < answers.size() && q < m_answers.size(); ++q)
        answers[q] = m_answers[q];
    results.mark = ClassMarking::score(questionnaire, questionnaire.settings(), answers);
    return results;
}

int RunSession::foldTypedAnswer(int value)
{
    while (value > 10)
        value /= 10;
    return value;
}
