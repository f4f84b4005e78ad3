#pragma once

#include "platform/helpindex.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;

// The program's help: French pages shown in a browser, with a keyword index beside them.
// The three commands stand for the ones the Windows help engine was given: contents, the
// keyword search with an empty key, and help on using help; a help context (a menu's) shows
// its own page. The window opens centred over its parent's window; Escape closes it.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // `pagesRoot` holds contents.html, usinghelp.html, keywords.txt and contexts.txt ("3|page",
    // one help context a line), a resource folder.
    explicit HelpWindow(const QString &pagesRoot, QWidget *parent = nullptr);

    void showContents();
    void showSearch();
    void showHowToUse();
    // The page of a help context; the contents for a context without a page of its own.
    void showContext(int context);

    QString currentPage() const;
    QLineEdit *searchBox() const { return m_searchBox; }
    QListWidget *keywordList() const { return m_keywordList; }
    QTextBrowser *browser() const { return m_browser; }
    QToolButton *backButton() const { return m_backButton; }
    QToolButton *homeButton() const { return m_homeButton; }

private Q_SLOTS:
    void filterKeywords(const QString &typed);
    void openChosenKeyword();
    void goHome();

private:
    void createWidgets();
    QWidget *createNavigationBar();
    void loadIndex();
    void showPage(const QString &page);
    void present();
    void placeOverParent();

    QString m_pagesRoot;
    HelpIndex m_index;
    HelpIndex m_contexts;
    QToolButton *m_backButton = nullptr;
    QToolButton *m_homeButton = nullptr;
    QLineEdit *m_searchBox = nullptr;
    QListWidget *m_keywordList = nullptr;
    QTextBrowser *m_browser = nullptr;
    QWidget *m_indexPanel = nullptr;
};
