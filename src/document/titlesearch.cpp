#include "document/titlesearch.h"

#include "document/blockindex.h"
#include "document/qcmformat.h"
#include "document/questionstore.h"
#include "platform/messageboxes.h"

#include <algorithm>

using namespace QcmFormat;

namespace TitleText {

QString capitals(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return result;
}

std::vector<int> titleLines(const QStringList &lines, int questionCount)
{
    const std::vector<int> first = firstOpeningLines(lines);
    std::vector<int> titles(size_t(std::max(0, questionCount)), -1);
    for (int n = 0; n < questionCount && n < MaxQuestions; ++n) {
        const int open = first[size_t(n)];
        if (open >= 0 && open + TitleLine < int(lines.size()))
            titles[size_t(n)] = open + TitleLine;
    }
    return titles;
}

bool matches(const QString &titleLine, const QString &capitalText)
{
    return !capitalText.isEmpty() && capitals(titleLine).contains(capitalText);
}

QString replaced(const QString &titleLine, const QString &capitalText, const QString &replacement)
{
    if (capitalText.isEmpty() || titleLine.size() <= TitleKeyword.size())
        return titleLine;
    const qsizetype keyword = TitleKeyword.size();
    // Capitals keep every character in its place, so positions found in the capitals are the
    // positions in the title as stored.
    const QString folded = capitals(titleLine);
    QString result = titleLine.left(keyword);
    qsizetype from = keyword;
    for (qsizetype at = folded.indexOf(capitalText, from); at >= 0; at = folded.indexOf(capitalText, from)) {
        result += QStringView(titleLine).mid(from, at - from);
        result += replacement;
        from = at + capitalText.size();
    }
    result += QStringView(titleLine).mid(from);
    return result;
}

} // namespace TitleText

TitleSearch::TitleSearch(QuestionStore &store, MessageBoxes &boxes) : m_store(store), m_boxes(boxes) {}

void TitleSearch::Chercher(const QString &text)
{
    m_searchText = text;
    if (m_searchText.isEmpty())
        return;
    m_searchPosition = 0;
    m_searchText = TitleText::capitals(m_searchText);
    Search();
}

void TitleSearch::Continuer()
{
    Search();
}

void TitleSearch::Remplacer(const QString &search, const QString &replacement)
{
    m_searchText = search;
    if (m_searchText.isEmpty())
        return;
    m_replaceText = replacement;
    m_searchPosition = 0;
    m_searchText = TitleText::capitals(m_searchText);
    Replace();
}

void TitleSearch::notFound()
{
    m_boxes.show(MessageIcon::Information, tr("Chaîne non trouvée"), MessageButtons::Ok);
}

void TitleSearch::Search()
{
    // The title being typed is part of the search.
    m_store.EcritFiche();
    const QStringList &lines = m_store.document();
    const int count = m_store.QuestionCount();
    if (m_searchPosition < count) {
        const std::vector<int> titles = TitleText::titleLines(lines, count);
        for (int n = std::max(0, m_searchPosition); n < count; ++n) {
            m_searchPosition = n + 1;
            const int title = titles[size_t(n)];
            if (title >= 0 && TitleText::matches(lines.at(title), m_searchText)) {
                m_store.AllerA(n);
                return;
            }
        }
    }
    notFound();
    m_store.LitFiche();
}

void TitleSearch::Replace()
{
    bool matched = false;
    m_store.rewriteDocument([this, &matched](QStringList &lines) {
        bool changed = false;
        const int count = m_store.QuestionCount();
        const std::vector<int> titles = TitleText::titleLines(lines, count);
        for (int n = std::max(0, m_searchPosition); n < count; ++n) {
            m_searchPosition = n;
            const int title = titles[size_t(n)];
            if (title < 0 || !TitleText::matches(lines.at(title), m_searchText))
                continue;
            matched = true;
            // The sheet may show another question: the box says which title would change.
            const QString concerned =
                tr("Question %1 : %2").arg(QString::number(n + 1), lines.at(title).mid(TitleKeyword.size()));
            const MessageAnswer answer =
                m_boxes.showInformative(MessageIcon::Warning, tr("Remplacer ?"), concerned, MessageButtons::YesNoCancel);
            if (answer == MessageAnswer::Cancel)
                return changed;
            if (answer == MessageAnswer::Yes) {
                QString after = TitleText::replaced(lines.at(title), m_searchText, m_replaceText);
                if (after != lines.at(title)) {
                    lines[title] = std::move(after);
                    changed = true;
                }
            }
        }
        m_searchPosition = std::max(m_searchPosition, count);
        return changed;
    });
    if (!matched)
        notFound();
}
