#include "platform/helpindex.h"
#include "platform/helpwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

namespace {

const char *const Keywords = "# commentaire\n"
                             "Écrire un questionnaire|ecrire.html\n"
                             "Enregistrer|ecrire.html#enregistrer\n"
                             "Horloge|outils.html#horloge\n"
                             "ligne sans barre\n"
                             "\n"
                             "|sans mot\n";

void writePage(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void matching_data();
    void matching();
    void commands();
    void searchOpensChosenPage();
    void keywordGoesToItsSection_data();
    void keywordGoesToItsSection();
    void backHomeAndEscape();
    void contexts_data();
    void contexts();
    void opensCentredOverItsParent();

private:
    QTemporaryDir pages;
};

void TestHelpWindow::initTestCase()
{
    writePage(pages, QStringLiteral("keywords.txt"), Keywords);
    writePage(pages, QStringLiteral("contents.html"), "<html><body><h1>Sommaire</h1></body></html>");
    writePage(pages, QStringLiteral("usinghelp.html"), "<html><body><h1>Utiliser l'aide</h1></body></html>");
    writePage(pages, QStringLiteral("ecrire.html"), "<html><body><h1>\xc3\x89" "crire</h1></body></html>");
    // Long enough for its last section to lie below the window's first screen.
    QByteArray tools = "<html><body><h1>Outils</h1>";
    for (int i = 0; i < 200; ++i)
        tools += "<p>Calendrier, calculatrice.</p>";
    tools += "<h2><a name=\"horloge\"></a>Horloge</h2><p>L'heure.</p></body></html>";
    writePage(pages, QStringLiteral("outils.html"), tools);
    writePage(pages, QStringLiteral("contexts.txt"), "5|ecrire.html#enregistrer\n7|outils.html#horloge\n");
}

void TestHelpWindow::matching_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    const QStringList all{QStringLiteral("Écrire un questionnaire"), QStringLiteral("Enregistrer"), QStringLiteral("Horloge")};
    QTest::newRow("empty key: everything") << "" << all;
    QTest::newRow("accent ignored") << "ecr" << QStringList{all.at(0)};
    QTest::newRow("letter case ignored") << "HOR" << QStringList{all.at(2)};
    QTest::newRow("common start") << "e" << QStringList{all.at(0), all.at(1)};
    QTest::newRow("start only, not inside") << "gistrer" << QStringList();
    QTest::newRow("nothing") << "zz" << QStringList();
}

void TestHelpWindow::matching()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    const HelpIndex index = HelpIndex::parse(QString::fromUtf8(Keywords));
    QCOMPARE(index.entries().size(), 3);
    QStringList keywords;
    for (const HelpIndex::Entry &entry : index.matching(typed))
        keywords << entry.keyword;
    QCOMPARE(keywords, found);
}

void TestHelpWindow::commands()
{
    HelpWindow help(pages.path());
    help.showContents();
    QVERIFY(help.isVisible());
    QCOMPARE(help.currentPage(), QStringLiteral("contents.html"));
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("Sommaire")));
    help.showHowToUse();
    QCOMPARE(help.currentPage(), QStringLiteral("usinghelp.html"));
    help.searchBox()->setText(QStringLiteral("hor"));
    help.showSearch();
    QCOMPARE(help.searchBox()->text(), QString());
    QCOMPARE(help.keywordList()->count(), 3);
}

void TestHelpWindow::searchOpensChosenPage()
{
    HelpWindow help(pages.path());
    help.showSearch();
    QTest::keyClicks(help.searchBox(), QStringLiteral("Ho"));
    QCOMPARE(help.keywordList()->count(), 1);
    QTest::keyClick(help.searchBox(), Qt::Key_Return);
    QCOMPARE(help.currentPage(), QStringLiteral("outils.html"));
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("Outils")));
}

void TestHelpWindow::keywordGoesToItsSection_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("pageShownBefore");
    QTest::newRow("Enter in the search box") << "search" << false;
    QTest::newRow("Enter in the list") << "list" << false;
    QTest::newRow("click in the list") << "click" << false;
    QTest::newRow("click, its page already shown and scrolled back") << "click" << true;
}

void TestHelpWindow::keywordGoesToItsSection()
{
    QFETCH(QString, way);
    QFETCH(bool, pageShownBefore);
    HelpWindow help(pages.path());
    help.showSearch();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QScrollBar *scroll = help.browser()->verticalScrollBar();
    if (pageShownBefore) {
        help.browser()->setSource(QUrl(QStringLiteral("outils.html#horloge")));
        scroll->setValue(0);
    }
    QTest::keyClicks(help.searchBox(), QStringLiteral("hor"));
    if (way == QLatin1String("search")) {
        QTest::keyClick(help.searchBox(), Qt::Key_Return);
    } else if (way == QLatin1String("list")) {
        help.keywordList()->setFocus();
        QTest::keyClick(help.keywordList(), Qt::Key_Return);
    } else {
        QListWidget *list = help.keywordList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    }
    QCOMPARE(help.currentPage(), QStringLiteral("outils.html"));
    QVERIFY(scroll->value() > 0);
}

void TestHelpWindow::backHomeAndEscape()
{
    HelpWindow help(pages.path());
    help.showHowToUse();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    QVERIFY(!help.backButton()->isEnabled());
    help.browser()->setSource(QUrl(QStringLiteral("outils.html")));
    QVERIFY(help.backButton()->isEnabled());
    // A button's shortcut presses it visibly, a moment later.
    QTest::keyClick(help.browser(), Qt::Key_Left, Qt::AltModifier);
    QTRY_COMPARE(help.currentPage(), QStringLiteral("usinghelp.html"));
    // Home is the contents, not the first page this window happened to show.
    QTest::keyClick(help.searchBox(), Qt::Key_Home, Qt::AltModifier);
    QTRY_COMPARE(help.currentPage(), QStringLiteral("contents.html"));
    QTest::keyClick(help.keywordList(), Qt::Key_Escape);
    QVERIFY(!help.isVisible());
}

void TestHelpWindow::contexts_data()
{
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("page");
    QTest::newRow("context with a page") << 7 << "outils.html";
    QTest::newRow("another") << 5 << "ecrire.html";
    QTest::newRow("context without a page: contents") << 4 << "contents.html";
    QTest::newRow("number only starting like one") << 55 << "contents.html";
}

void TestHelpWindow::contexts()
{
    QFETCH(int, context);
    QFETCH(QString, page);
    HelpWindow help(pages.path());
    help.showContext(context);
    QCOMPARE(help.currentPage(), page);
}

void TestHelpWindow::opensCentredOverItsParent()
{
    QWidget main;
    main.setGeometry(40, 60, 700, 500);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto *help = new HelpWindow(pages.path(), &main);
    help->resize(400, 300);
    help->showContents();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    // Within the frame's width, unknown until the window is first shown.
    QVERIFY((help->frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <= 8);
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
