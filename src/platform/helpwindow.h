#pragma once

#include "platform/helpindex.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

// The program's help: French pages shown in a browser, with a keyword index beside them.
// The three commands stand for the ones the Windows help engine was given: contents, the
// keyword search with an empty key, and help on using help.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // `pagesRoot` holds contents.html, usinghelp.html and keywords.txt (a resource folder).
    explicit HelpWindow(const QString &pagesRoot, QWidget *parent = nullptr);

    void showContents();
    void showSearch();
    void showHowToUse();

    QString currentPage() const;
    QLineEdit *searchBox() const { return m_searchBox; }
    QListWidget *keywordList() const { return m_keywordList; }
    QTextBrowser *browser() const { return m_browser; }

private Q_SLOTS:
    void filterKeywords(const QString &typed);
    void openChosenKeyword();

private:
    void createWidgets();
    void loadIndex();
    void showPage(const QString &page);

    QString m_pagesRoot;
    HelpIndex m_index;
    QLineEdit *m_searchBox = nullptr;
    QListWidget *m_keywordList = nullptr;
    QTextBrowser *m_browser = nullptr;
    QWidget *m_indexPanel = nullptr;
};
