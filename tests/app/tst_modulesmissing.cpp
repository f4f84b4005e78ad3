// The menu commands whose part is a module, run where the module is not beside the program (as
// this test's own folder): the teacher is told which part is missing, and nothing is begun that
// would have to be finished or resumed later.
#include "menuprogram.h"
#include "platform/apperror.h"
#include "platform/printdialogs.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestModulesMissing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void toldAndNothingBegun_data();
    void toldAndNothingBegun();
    void printingToldBeforeAnyPage();
};

void TestModulesMissing::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestModulesMissing::toldAndNothingBegun_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("passation sur le réseau")
        << "&Passation sur le réseau..."
        << "La passation sur le réseau n'est pas disponible : le module nelo-session-server.so est introuvable à côté "
           "du programme.";
    QTest::newRow("copies scannées")
        << "Corri&ger des copies scannées..."
        << "La lecture des copies scannées n'est pas disponible : le module nelo-scan-reading.so est introuvable à "
           "côté du programme.";
}

void TestModulesMissing::toldAndNothingBegun()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quiz.qcm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(questionnaireBytes(1)) > 0);
    file.close();

    MenuProgram program;
    program.form().openNamedQuestionnaire(path);
    // The scan chosen is the questionnaire itself: the reader is missing before it is looked at.
    program.dialogs.script(path);
    program.trigger(command);

    QCOMPARE(program.boxes.lastText(), message);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("quiz.qcm")});
}

void TestModulesMissing::printingToldBeforeAnyPage()
{
    ScriptedMessageBoxes boxes;
    QtPrintDialogs dialogs(boxes);
    bool painted = false;
    QString told;
    try {
        dialogs.preview(PrintJob{}, [&painted](PrintTarget &) { painted = true; }, nullptr);
    } catch (const AppError &error) {
        told = error.message();
    }
    QCOMPARE(told, QStringLiteral("L'impression n'est pas disponible : le module nelo-system-printing.so est introuvable "
                                  "à côté du programme."));
    QVERIFY(!painted);
}

QTEST_MAIN(TestModulesMissing)
#include "tst_modulesmissing.moc"
