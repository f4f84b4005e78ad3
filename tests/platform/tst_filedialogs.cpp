#include "platform/filedialogs.h"
#include "platform/scriptedfiledialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void qtFilter_data();
    void qtFilter();
    void currentFolder_data();
    void currentFolder();
    void shownFilterAndName();
};

void TestFileDialogs::qtFilter_data()
{
    QTest::addColumn<QString>("pipe");
    QTest::addColumn<QString>("qt");
    QTest::newRow("questionnaire") << "Questionnaire (*.qcm)|*.qcm" << "Questionnaire (*.qcm)";
    QTest::newRow("several patterns") << "Tout (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp"
                                      << "Tout (*.bmp *.ico);;Bitmaps (*.bmp)";
    QTest::newRow("accents kept") << "Icônes (*.ico)|*.ico|MétaFichiers améliorés (*.emf)|*.emf"
                                  << "Icônes (*.ico);;MétaFichiers améliorés (*.emf)";
    QTest::newRow("description without patterns") << "Textes|*.txt" << "Textes (*.txt)";
    QTest::newRow("patterns come from after the bar") << "Images (*.png)|*.bmp" << "Images (*.bmp)";
    QTest::newRow("blanks around patterns") << "Tout| *.a ; *.b " << "Tout (*.a *.b)";
    QTest::newRow("dangling description ignored") << "A (*.a)|*.a|B" << "A (*.a)";
    QTest::newRow("empty") << "" << "";
}

void TestFileDialogs::qtFilter()
{
    QFETCH(QString, pipe);
    QFETCH(QString, qt);
    QCOMPARE(qtFileFilter(pipe), qt);
}

void TestFileDialogs::currentFolder_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("moved");
    QTest::newRow("confirmed open moves to the file's folder") << false << true << true;
    QTest::newRow("cancelled open stays") << false << false << false;
    QTest::newRow("confirmed save stays") << true << true << false;
}

void TestFileDialogs::currentFolder()
{
    QFETCH(bool, saving);
    QFETCH(bool, confirmed);
    QFETCH(bool, moved);
    const QString start = QDir::currentPath();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("images")));
    const QString chosen = dir.filePath(QStringLiteral("images/chat.bmp"));
    ScriptedFileDialogs dialogs;
    dialogs.script(confirmed ? chosen : QString());
    const QString answer = saving ? dialogs.saveFile(QStringLiteral("Tout|*.*"), QString())
                                  : dialogs.openFile(QStringLiteral("Tout|*.*"), QString());
    QCOMPARE(answer, confirmed ? chosen : QString());
    const QString now = QDir::current().canonicalPath();
    QDir::setCurrent(start);
    QCOMPARE(now == QDir(dir.filePath(QStringLiteral("images"))).canonicalPath(), moved);
}

void TestFileDialogs::shownFilterAndName()
{
    ScriptedFileDialogs dialogs;
    QCOMPARE(dialogs.saveFile(QStringLiteral("Questionnaires (*.qcm)|*.qcm"), QStringLiteral("*.qcm")), QString());
    QCOMPARE(dialogs.unexpected(), 1);
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().first().kind, ScriptedFileDialogs::Kind::Save);
    QCOMPARE(dialogs.shown().first().filter, QStringLiteral("Questionnaires (*.qcm)"));
    QCOMPARE(dialogs.shown().first().fileName, QStringLiteral("*.qcm"));
}

QTEST_GUILESS_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
