#include "platform/helpindex.h"
#include "platform/helpwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

const char *const Keywords = "# commentaire\n"
                             "Écrire un questionnaire|ecrire.html\n"
                             "Enregistrer|ecrire.html#enregistrer\n"
                             "Horloge|outils.html\n"
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

private:
    QTemporaryDir pages;
};

void TestHelpWindow::initTestCase()
{
    writePage(pages, QStringLiteral("keywords.txt"), Keywords);
    writePage(pages, QStringLiteral("contents.html"), "<html><body><h1>Sommaire</h1></body></html>");
    writePage(pages, QStringLiteral("usinghelp.html"), "<html><body><h1>Utiliser l'aide</h1></body></html>");
    writePage(pages, QStringLiteral("ecrire.html"), "<html><body><h1>\xc3\x89" "crire</h1></body></html>");
    writePage(pages, QStringLiteral("outils.html"), "<html><body><h1>Outils</h1></body></html>");
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

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
