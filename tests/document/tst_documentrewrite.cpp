#include "fakesheet.h"

#include "document/qcmformat.h"
#include "platform/apperror.h"
#include "platform/scriptedmessageboxes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList questionnaire(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE q%1").arg(n) << QStringLiteral("PICTURE ");
        for (int a = 1; a <= 5; ++a)
            lines << QStringLiteral("REP%1 r").arg(a);
        lines << QStringLiteral("REPONSE 1") << QcmFormat::closingTag(n) << QStringLiteral(" ");
    }
    return lines;
}

// Rewrites every title line to upper case; reports whether one changed.
bool upperTitles(QStringList &lines)
{
    bool changed = false;
    for (QString &line : lines) {
        if (line.startsWith(QLatin1String("TITLE ")) && line != line.toUpper()) {
            line = line.toUpper();
            changed = true;
        }
    }
    return changed;
}

struct Workspace
{
    FakeSheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store{sheet, boxes};

    explicit Workspace(int questions)
    {
        sheet.store = &store;
        store.ChargeLignes(questionnaire(questions), QStringLiteral("test.qcm"));
    }
};

} // namespace

class TestDocumentRewrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rewrite_data();
    void rewrite();
    void failingEditLeavesTheDocument();
    void undoAfterEachCommand_data();
    void undoAfterEachCommand();
    void undoLevels();
    void typingWrittenBackEndsTheHistory_data();
    void typingWrittenBackEndsTheHistory();
    void undoAfterSavingLeavesTheDocumentModified();
};

void TestDocumentRewrite::rewrite_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("questionAfter");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("title");
    QTest::newRow("change: modified, typed title rewritten too") << "upper" << -1 << true << 1 << 3 << "Q1 TAPÉ";
    QTest::newRow("no change: flag untouched, typing kept") << "none" << -1 << false << 1 << 3 << "q1 tapé";
    QTest::newRow("question after the edit") << "upper" << 2 << true << 2 << 3 << "Q2";
    QTest::newRow("question after beyond the end stays inside") << "none" << 7 << false << 2 << 3 << "q2";
    QTest::newRow("recounted after a block is dropped") << "drop last" << -1 << true << 1 << 2 << "q1 tapé";
}

void TestDocumentRewrite::rewrite()
{
    QFETCH(QString, edit);
    QFETCH(int, questionAfter);
    QFETCH(bool, modified);
    QFETCH(int, shown);
    QFETCH(int, count);
    QFETCH(QString, title);
    Workspace w(3);
    w.store.AllerA(1);
    // What is on the sheet reaches the edit; set without notifying the store, so that only the
    // edit can set the flag.
    w.sheet.shown.title = QStringLiteral("q1 tapé");

    w.store.rewriteDocument(
        [&](QStringList &lines) {
            if (edit == QLatin1String("upper"))
                return upperTitles(lines);
            if (edit == QLatin1String("drop last")) {
                const int open = QcmFormat::findBlock(lines, 2);
                lines.remove(open, QcmFormat::blockEnd(lines, open, 2) - open);
                return true;
            }
            return false;
        },
        questionAfter);
    QCOMPARE(w.store.DocumentModified(), modified);
    QCOMPARE(w.store.CurrentQuestion(), shown);
    QCOMPARE(w.store.QuestionCount(), count);
    QCOMPARE(w.sheet.shown.title, title);
    QCOMPARE(w.sheet.label, QStringLiteral("Question %1").arg(shown + 1));
    QVERIFY(!w.store.SheetModified());
}

void TestDocumentRewrite::failingEditLeavesTheDocument()
{
    Workspace w(2);
    w.store.AllerA(1);
    w.store.EcritFiche(); // the write-back the rewrite starts with
    const QStringList before = w.store.document();
    QVERIFY_THROWS_EXCEPTION(AppError, w.store.rewriteDocument([](QStringList &lines) -> bool {
        lines.clear();
        throw AppError(QStringLiteral("échec"));
    }));
    QCOMPARE(w.store.document(), before);
    QCOMPARE(w.store.QuestionCount(), 2);
    QVERIFY(!w.store.DocumentModified());
}

void TestDocumentRewrite::undoAfterEachCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("modifiedBefore");
    for (const char *command : {"Coller", "Supprime", "Supprime last", "Ajout", "SuppImg", "picture", "rewrite"}) {
        QTest::addRow("%s", command) << QString::fromLatin1(command) << false;
        QTest::addRow("%s, already modified", command) << QString::fromLatin1(command) << true;
    }
}

void TestDocumentRewrite::undoAfterEachCommand()
{
    QFETCH(QString, command);
    QFETCH(bool, modifiedBefore);
    Workspace w(4);
    QStringList lines = questionnaire(4);
    lines.replaceInStrings(QStringLiteral("PICTURE "), QStringLiteral("PICTURE /images/chat.bmp"));
    w.store.ChargeLignes(lines, QStringLiteral("test.qcm"));
    w.store.AllerA(command == QLatin1String("Supprime last") ? 3 : 1);
    if (modifiedBefore)
        w.sheet.type(QStringLiteral("titre tapé"));
    QVERIFY(!w.store.canUndo());
    w.store.EcritFiche(); // what the command writes back first
    const QStringList document = w.store.document();
    const QuestionFields fields = w.sheet.shown;
    const int shown = w.store.CurrentQuestion();

    if (command == QLatin1String("Coller"))
        w.store.Coller(QStringLiteral("collé"), {});
    else if (command.startsWith(QLatin1String("Supprime")))
        w.store.Supprime();
    else if (command == QLatin1String("Ajout"))
        w.store.Ajout();
    else if (command == QLatin1String("SuppImg"))
        w.store.SuppImg();
    else if (command == QLatin1String("picture"))
        w.store.setCurrentPicture(QStringLiteral("/images/autre.bmp"));
    else
        w.store.rewriteDocument(upperTitles);
    QVERIFY(w.store.canUndo());
    QVERIFY(w.store.document() != document || w.store.CurrentPicture() != QLatin1String("/images/chat.bmp"));

    w.store.Annuler();
    QCOMPARE(w.store.document(), document);
    QCOMPARE(w.store.QuestionCount(), 4);
    QCOMPARE(w.store.CurrentQuestion(), shown);
    QCOMPARE(w.sheet.shown, fields);
    QCOMPARE(w.store.CurrentPicture(), QStringLiteral("/images/chat.bmp"));
    QCOMPARE(w.store.DocumentModified(), modifiedBefore);
    QVERIFY(!w.store.canUndo());
    w.store.Annuler(); // nothing left: nothing happens
    QCOMPARE(w.store.document(), document);
}

void TestDocumentRewrite::undoLevels()
{
    Workspace w(UndoHistory::Levels + 5);
    for (int i = 0; i < UndoHistory::Levels + 3; ++i)
        w.store.Supprime();
    int taken = 0;
    while (w.store.canUndo()) {
        w.store.Annuler();
        ++taken;
    }
    QCOMPARE(taken, UndoHistory::Levels);
    QCOMPARE(w.store.QuestionCount(), 5 + UndoHistory::Levels - 3);
    // A rewrite that changes nothing is nothing to take back; loading a questionnaire starts afresh.
    w.store.rewriteDocument([](QStringList &) { return false; });
    QVERIFY(!w.store.canUndo());
    w.store.Supprime();
    w.store.ChargeLignes(questionnaire(2), QStringLiteral("autre.qcm"));
    QVERIFY(!w.store.canUndo());
}

void TestDocumentRewrite::typingWrittenBackEndsTheHistory_data()
{
    QTest::addColumn<QString>("typing");
    QTest::addColumn<bool>("undoable");
    QTest::addColumn<QString>("title"); // of question 1 after Ctrl+Z
    QTest::newRow("no typing, moving on") << "" << true << "q0";
    QTest::newRow("typing taken back before moving on") << "undone" << true << "q0";
    QTest::newRow("typing in the title, moving on") << "title" << false << "collé puis tapé";
    QTest::newRow("typing in the free text, moving on") << "free text" << false << "collé";
}

void TestDocumentRewrite::typingWrittenBackEndsTheHistory()
{
    QFETCH(QString, typing);
    QFETCH(bool, undoable);
    QFETCH(QString, title);
    Workspace w(3);
    w.store.Coller(QStringLiteral("collé"), {});
    const QuestionFields pasted = w.sheet.shown;
    if (typing == QLatin1String("title") || typing == QLatin1String("undone"))
        w.sheet.type(QStringLiteral("collé puis tapé"));
    if (typing == QLatin1String("undone"))
        w.sheet.type(pasted.title);
    if (typing == QLatin1String("free text"))
        w.sheet.typeFreeText({QStringLiteral("note")});
    w.store.Suivant();
    QCOMPARE(w.store.canUndo(), undoable);
    w.store.Annuler();
    // Whatever was typed is still in the questionnaire unless the paste itself was taken back.
    QCOMPARE(w.store.document().at(QcmFormat::findBlock(w.store.document(), 0) + 1), QStringLiteral("TITLE ") + title);
}

void TestDocumentRewrite::undoAfterSavingLeavesTheDocumentModified()
{
    Workspace v(3);
    v.store.Supprime();
    QTemporaryDir dir;
    v.store.Sauve(dir.filePath(QStringLiteral("quiz.qcm")));
    QVERIFY(!v.store.DocumentModified());
    v.store.Annuler();
    QCOMPARE(v.store.QuestionCount(), 3);
    // The file holds two questions now: the three on screen must not count as saved.
    QVERIFY(v.store.DocumentModified());
}

QTEST_GUILESS_MAIN(TestDocumentRewrite)
#include "tst_documentrewrite.moc"
