#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <vector>

class MessageBoxes;
class QuestionStore;

// Find and replace over the question titles. A title line is searched whole, keyword included,
// after putting a to z in capitals (nothing else: "é" does not find "É").
namespace TitleText {

QString capitals(const QString &text);
// The line of each question's title (the line under its block's opening tag), for questions 0
// to questionCount - 1 in one pass; -1 when the question has no block or no line under it.
std::vector<int> titleLines(const QStringList &lines, int questionCount);
// `capitalText` is already in capitals; an empty text matches nothing.
bool matches(const QString &titleLine, const QString &capitalText);
// Every occurrence of `capitalText` in the title after "TITLE " replaced by `replacement` as
// typed; the keyword itself is never touched.
QString replaced(const QString &titleLine, const QString &capitalText, const QString &replacement);

} // namespace TitleText

// The search state shared by "Chercher", "Continuer" and "Remplacer", kept from one command to
// the next until the program ends, and the scans over the questionnaire.
class TitleSearch
{
    Q_DECLARE_TR_FUNCTIONS(TitleSearch)

public:
    TitleSearch(QuestionStore &store, MessageBoxes &boxes);

    // The text of the find dialog (empty when it was cancelled): a new search from question 1.
    void Chercher(const QString &text);
    // The next question after the last one found.
    void Continuer();
    // The texts of the replace dialog (an empty search text when it was cancelled, which keeps
    // the replacement): a new replace pass from question 1.
    void Remplacer(const QString &search, const QString &replacement);

    const QString &SearchText() const { return m_searchText; }
    const QString &ReplaceText() const { return m_replaceText; }
    int SearchPosition() const { return m_searchPosition; }

private:
    void Search();
    void Replace();
    void notFound();

    QuestionStore &m_store;
    MessageBoxes &m_boxes;
    QString m_searchText;  // in capitals
    QString m_replaceText; // as typed
    int m_searchPosition = 0;
};
