#include "app/classroomcommands.h"
#include "app/mainform.h"
#include "app/workspace.h"
#include "classroom/classlist.h"
#include "document/qcmformat.h"
#include "results/marksexportdialog.h"
#include "results/statisticswindow.h"
#include "scriptedservices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QProcess>
#include <QPushButton>
#include <QComboBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QStandardPaths>
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
    void initTestCase();
    void exportsTheClassFile_data();
    void exportsTheClassFile();
    void printsCorrectedCopies();
    void statisticsCountCopies();
};

void TestMarksExportCommand::initTestCase()
{
    // The class lists of a test, never the teacher's.
    QStandardPaths::setTestModeEnabled(true);
}

// From the menu to the file: the dialog answered as the teacher would, the save dialog given a
// name, the file's bytes and the box that says what was left out.
void TestMarksExportCommand::exportsTheClassFile_data()
{
    QTest::addColumn<QByteArray>("results");
    QTest::addColumn<QString>("choice");   // "best", or "" for the dialog as it opens
    QTest::addColumn<QString>("saveAs");   // relative to the folder
    QTest::addColumn<QByteArray>("bytes"); // what saveAs holds afterwards; empty when absent
    QTest::addColumn<QString>("message");  // the last box
    QTest::addColumn<QStringList>("classList"); // kept as "6e B" for the row; empty: none

    QTest::newRow("best, .csv added") << ClassResults << "best" << "notes-6b"
                                      << QByteArray("\xEF\xBB\xBFNom;Note / 20;Copie retenue\r\nLéa;20;09/03/2026 10:00, poste\r\n")
                                      << "1 passation inachevée n'a pas été comptée.\nSans note, faute de passation terminée : Noé."
                                      << QStringList();
    // The list that holds the pupils is offered; its every pupil in its order, the absent one
    // "ABS"; Hugo's later unfinished try on the network (0) does not replace his finished 20.
    const QByteArray network = ClassResults.left(ClassResults.indexOf("\r\n") + 2)
                               + "09/03/2026;10:00:00;NGUYEN Hugo;2;2;20;20;2;réseau;;0:05:00;terminé;;1;1\r\n"
                                 "09/03/2026;10:30:00;Nguyen Hugo;0;2;0;20;2;réseau;;0:01:00;inachevé;;;\r\n";
    QTest::newRow("class list, unfinished counted")
        << network << "unfinished" << "notes-6b.csv"
        << QByteArray("\xEF\xBB\xBFNom;Prénom;Classe;Note / 20;Copie retenue\r\nDUPONT;Chloé;6e B;ABS;aucune copie\r\n"
                      "NGUYEN;Hugo;6e B;20;09/03/2026 10:00, réseau\r\n")
        << "La note d'un élève a été exportée" << QStringList{"DUPONT Chloé", "NGUYEN Hugo"};
    // The older file stays when the teacher says no.
    QTest::newRow("an older export kept") << ClassResults << "" << "anciennes-notes.csv" << QByteArray("Nom;Note\r\n")
                                          << "existe déjà. Le remplacer ?" << QStringList();
    QTest::newRow("the results file chosen") << ClassResults << "" << "classe-resultats.csv" << ClassResults
                                             << "est un fichier de résultats" << QStringList();
    // Told before any question is asked.
    const QByteArray unnamed = ClassResults.left(ClassResults.indexOf("\r\n") + 2)
                               + "09/03/2026;10:20:00;;1;2;10;20;2;poste;;0:05:00;terminé;;1;3\r\n";
    QTest::newRow("nothing to export") << unnamed << "no dialog" << "classe-notes.csv" << QByteArray()
                                       << "Aucune passation n'a de nom" << QStringList();
}

void TestMarksExportCommand::exportsTheClassFile()
{
    QFETCH(QByteArray, results);
    QFETCH(QString, choice);
    QFETCH(QString, saveAs);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QStringList, classList);
    QTemporaryDir dir;
    ClassListStore classLists(ClassroomCommands::defaultClassListFolder());
    const QString className = QStringLiteral("6e B");
    if (classList.isEmpty())
        classLists.remove(className);
    else
        classLists.save(className, classList);
    ScriptedServices scripted;
    Workspace workspace(scripted.services);
    const QString questionnaire = dir.filePath(QStringLiteral("classe.qcm"));
    QVERIFY(writeFile(questionnaire, questionnaireBytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("classe-resultats.csv")), results));
    if (saveAs == QStringLiteral("anciennes-notes.csv")) {
        QVERIFY(writeFile(dir.filePath(saveAs), bytes));
        scripted.boxes.script(MessageAnswer::No);
    }
    workspace.mainForm.openNamedQuestionnaire(questionnaire);
    const QString current = QDir::currentPath();

    bool dialogShown = false;
    bool recomputeOffered = true;
    QString listOffered;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<MarksExportDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialogShown = dialog->LatestButton->isChecked();
        recomputeOffered = dialog->RecomputeBox != nullptr;
        if (choice == QStringLiteral("best"))
            dialog->BestButton->click();
        if (choice == QStringLiteral("unfinished"))
            dialog->UnfinishedBox->click();
        listOffered = dialog->ClassListBox->currentText();
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    scripted.dialogs.script(dir.filePath(saveAs));
    for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("Exporter les &notes..."))
            action->trigger();
    }
    QCOMPARE(dialogShown, choice != QStringLiteral("no dialog"));
    if (dialogShown) {
        QVERIFY(!recomputeOffered); // every kept mark is what its answers are worth
        QCOMPARE(listOffered == className, !classList.isEmpty());
    }
    const bool saveAsked = scripted.dialogs.pendingAnswers() == 0;
    QCOMPARE(saveAsked, dialogShown);
    if (saveAsked)
        QCOMPARE(scripted.dialogs.shown().last().fileName, dir.filePath(QStringLiteral("classe-notes.csv")));
    const QString written = saveAs.endsWith(QStringLiteral(".csv")) ? saveAs : saveAs + QStringLiteral(".csv");
    QCOMPARE(readFile(dir.filePath(written)), bytes);
    QVERIFY2(scripted.boxes.lastText().contains(message), qPrintable(scripted.boxes.lastText()));
    QCOMPARE(scripted.boxes.shown().isEmpty(), message.isEmpty());
    // The questionnaire's pictures are still looked for where they were.
    QCOMPARE(QDir::currentPath(), current);
}

// "Imprimer les copies corrigées...": a copy per named pupil, each on a page of its own, through
// the print dialog (answered with a PDF file).
void TestMarksExportCommand::printsCorrectedCopies()
{
    QTemporaryDir dir;
    ScriptedServices scripted;
    Workspace workspace(scripted.services);
    const QString questionnaire = dir.filePath(QStringLiteral("classe.qcm"));
    QVERIFY(writeFile(questionnaire, questionnaireBytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("classe-resultats.csv")), ClassResults));
    workspace.mainForm.openNamedQuestionnaire(questionnaire);
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    scripted.printing.script(pdf);
    for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("Imprimer les copies corrigées..."))
            action->trigger();
    }
    // The one box says where the PDF went.
    QCOMPARE(scripted.boxes.shown().size(), 1);
    QVERIFY2(scripted.boxes.lastText().contains(QStringLiteral("copies.pdf")), qPrintable(scripted.boxes.lastText()));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    // Léa's latest copy (10), then Noé's unfinished one; the run without a name is nobody's.
    QVERIFY2(pages.at(0).contains(QStringLiteral("Note : 10 / 20 (1 bonne réponse sur 2)")) && pages.at(0).contains(QStringLiteral("Léa - page 1 / 1")),
             qPrintable(pages.at(0)));
    QVERIFY(pages.at(0).contains(QStringLiteral("Réponse donnée : 2) réponse - Faux")));
    QVERIFY(pages.at(1).contains(QStringLiteral("copie du 09/03/2026 à 10:10 (poste), inachevée")));
    QVERIFY(pages.at(1).contains(QStringLiteral("Réponse donnée : aucune - Sans réponse")));
}

// The statistics window counts Léa once by default, both her copies on demand, and prints the
// corrected copy of the run chosen in its pupils' table, once one is chosen.
void TestMarksExportCommand::statisticsCountCopies()
{
    QTemporaryDir dir;
    ScriptedServices scripted;
    Workspace workspace(scripted.services);
    const QString questionnaire = dir.filePath(QStringLiteral("classe.qcm"));
    QVERIFY(writeFile(questionnaire, questionnaireBytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("classe-resultats.csv")), ClassResults));
    workspace.mainForm.openNamedQuestionnaire(questionnaire);
    const QString pdf = dir.filePath(QStringLiteral("copie.pdf"));
    scripted.printing.script(pdf);
    QStringList answered; // question 2's count of answers, per choice
    bool printable = true; // before a row is chosen
    QTimer::singleShot(0, this, [&] {
        auto *window = qobject_cast<StatisticsWindow *>(QApplication::activeModalWidget());
        if (!window)
            return;
        answered << window->QuestionGrid->item(1, 1)->text();
        window->CountingBox->setCurrentIndex(1);
        answered << window->QuestionGrid->item(1, 1)->text();
        window->findChild<QTabWidget *>(QStringLiteral("Grids"))->setCurrentIndex(1);
        printable = window->CorrectedCopyButton->isEnabled();
        window->PupilGrid->selectRow(0); // Léa's first copy, the one not counted by default
        window->CorrectedCopyButton->click();
        window->reject();
    });
    for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("&Statistiques des résultats..."))
            action->trigger();
    }
    QCOMPARE(answered, (QStringList{"2", "3"})); // Léa's latest and the nameless run; then Léa's first too
    QVERIFY(!printable);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    QCOMPARE(page.count(QLatin1Char('\f')), 1);
    QVERIFY2(page.contains(QStringLiteral("Note : 20 / 20")) && page.contains(QStringLiteral("copie du 09/03/2026 à 10:00")),
             qPrintable(page));
}

QTEST_MAIN(TestMarksExportCommand)
#include "tst_marksexportcommand.moc"
