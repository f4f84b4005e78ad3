#include "app/mainform.h"
#include "app/workspace.h"
#include "document/qcmformat.h"
#include "runner/marksexportdialog.h"
#include "scriptedservices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

// Two questions whose right answer is 1.
QByteArray questionnaireBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 2; ++i) {
        bytes += QcmFormat::openingTag(i).toLatin1() + "\r\nTITLE Titre " + QByteArray::number(i + 1) + "\r\nPICTURE \r\n";
        for (int a = 1; a <= 5; ++a)
            bytes += "REP" + QByteArray::number(a) + " r\xE9ponse\r\n";
        bytes += "REPONSE 1\r\n" + QcmFormat::closingTag(i).toLatin1() + "\r\n";
    }
    return bytes;
}

// The class's results as the pupil window keeps them: Léa twice (20, then 10), Noé left
// unfinished, a run without a name.
const QByteArray ClassResults = "\xEF\xBB\xBF"
    "Date;Heure;Nom;Bonnes réponses;Questions;Note;Barème;Questions notées;Passation;Version;Durée;État;Copie;"
    "1. Titre 1;2. Titre 2\r\n"
    "09/03/2026;10:00:00;Léa;2;2;20;20;2;poste;;0:05:00;terminé;;1;1\r\n"
    "09/03/2026;10:10:00;Noé;1;2;10;20;2;poste;;0:02:00;inachevé;;1;\r\n"
    "09/03/2026;10:20:00;;1;2;10;20;2;poste;;0:05:00;terminé;;1;3\r\n"
    "09/03/2026;11:00:00;Léa;1;2;10;20;2;poste;;0:05:00;terminé;;1;2\r\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestMarksExportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportsTheClassFile_data();
    void exportsTheClassFile();
    void nothingToExportAsksNothing();
};

// From the menu to the file: the dialog answered as the teacher would, the save dialog given a
// name, the file's bytes and the box that says what was left out.
void TestMarksExportCommand::exportsTheClassFile_data()
{
    QTest::addColumn<QString>("choice");   // "latest", "best", "best and unfinished", "cancel"
    QTest::addColumn<QString>("saveAs");   // relative to the folder; empty cancels the save dialog
    QTest::addColumn<QString>("written");  // the file expected; empty for none
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");  // the last box

    const QByteArray header = "\xEF\xBB\xBFNom;Note / 20\r\n";
    QTest::newRow("latest") << "latest" << "classe-notes.csv" << "classe-notes.csv" << header + "Léa;10\r\n"
                            << "La note d'un élève a été exportée";
    QTest::newRow("best, .csv added") << "best" << "notes-6b" << "notes-6b.csv" << header + "Léa;20\r\n"
                                      << "1 passation inachevée n'a pas été comptée.\nSans note, faute de passation terminée : Noé.";
    QTest::newRow("unfinished counted") << "best and unfinished" << "classe-notes.csv" << "classe-notes.csv"
                                        << header + "Léa;20\r\nNoé;10\r\n" << "1 passation sans nom d'élève";
    QTest::newRow("dialog cancelled") << "cancel" << QString() << QString() << QByteArray() << QString();
    QTest::newRow("save dialog cancelled") << "latest" << QString() << QString() << QByteArray() << QString();
    QTest::newRow("the results file chosen") << "latest" << "classe-resultats.csv" << "classe-resultats.csv"
                                             << ClassResults << "est un fichier de résultats";
}

void TestMarksExportCommand::exportsTheClassFile()
{
    QFETCH(QString, choice);
    QFETCH(QString, saveAs);
    QFETCH(QString, written);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString folder = QDir::currentPath();
    ScriptedServices scripted;
    Workspace workspace(scripted.services);
    const QString questionnaire = dir.filePath(QStringLiteral("classe.qcm"));
    QVERIFY(writeFile(questionnaire, questionnaireBytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("classe-resultats.csv")), ClassResults));
    workspace.mainForm.openNamedQuestionnaire(questionnaire);
    const QString current = QDir::currentPath();

    bool dialogShown = false;
    bool latestFirst = false;
    bool recomputeOffered = true;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<MarksExportDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialogShown = true;
        latestFirst = dialog->LatestButton->isChecked();
        recomputeOffered = dialog->RecomputeBox != nullptr;
        if (choice.startsWith(QStringLiteral("best")))
            dialog->BestButton->click();
        if (choice.endsWith(QStringLiteral("unfinished")))
            dialog->UnfinishedBox->click();
        if (choice == QStringLiteral("cancel"))
            dialog->reject();
        else
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    if (choice != QStringLiteral("cancel"))
        scripted.dialogs.script(saveAs.isEmpty() ? QString() : dir.filePath(saveAs));
    for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("Exporter les &notes..."))
            action->trigger();
    }
    QVERIFY(dialogShown);
    QVERIFY(latestFirst);
    QVERIFY(!recomputeOffered); // every kept mark is what its answers are worth
    QCOMPARE(scripted.dialogs.pendingAnswers(), 0);
    if (choice != QStringLiteral("cancel"))
        QCOMPARE(scripted.dialogs.shown().last().fileName, dir.filePath(QStringLiteral("classe-notes.csv")));
    if (!written.isEmpty())
        QCOMPARE(readFile(dir.filePath(written)), bytes);
    // The results file, and the marks when they were written.
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.csv")}, QDir::Files).size(),
             written.contains(QStringLiteral("notes")) ? 2 : 1);
    QVERIFY2(scripted.boxes.lastText().contains(message), qPrintable(scripted.boxes.lastText()));
    QCOMPARE(scripted.boxes.shown().isEmpty(), message.isEmpty());
    // The questionnaire's pictures are still looked for where they were.
    QCOMPARE(QDir::currentPath(), current);
    QDir::setCurrent(folder);
}

void TestMarksExportCommand::nothingToExportAsksNothing()
{
    QTemporaryDir dir;
    const QString folder = QDir::currentPath();
    ScriptedServices scripted;
    Workspace workspace(scripted.services);
    const QString questionnaire = dir.filePath(QStringLiteral("classe.qcm"));
    QVERIFY(writeFile(questionnaire, questionnaireBytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("classe-resultats.csv")),
                      ClassResults.left(ClassResults.indexOf("\r\n") + 2)
                          + "09/03/2026;10:20:00;;1;2;10;20;2;poste;;0:05:00;terminé;;1;3\r\n"));
    workspace.mainForm.openNamedQuestionnaire(questionnaire);
    bool dialogShown = false;
    QTimer::singleShot(0, this, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            dialogShown = true;
            dialog->close();
        }
    });
    for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("Exporter les &notes..."))
            action->trigger();
    }
    QVERIFY(!dialogShown);
    QVERIFY2(scripted.boxes.lastText().startsWith(QStringLiteral("Aucune passation n'a de nom")), qPrintable(scripted.boxes.lastText()));
    QCOMPARE(scripted.dialogs.shown().size(), 0);
    QDir::setCurrent(folder);
}

QTEST_MAIN(TestMarksExportCommand)
#include "tst_marksexportcommand.moc"
