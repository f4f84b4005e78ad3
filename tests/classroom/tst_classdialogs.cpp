#include "classroom/classlist.h"
#include "classroom/classlistdialog.h"
#include "classroom/classsettingsdialog.h"
#include "scriptedservices.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestClassDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsShownAndReadBack();
    void drawCheckedBeforeItIsKept_data();
    void drawCheckedBeforeItIsKept();
    void classListImportedCorrectedKeptDeleted();
    void badListFilesRefused_data();
    void badListFilesRefused();
    void pastedIntoTable_data();
    void pastedIntoTable();
    void typedExtraTime_data();
    void typedExtraTime();
};

namespace {

QString tableText(const ClassListDialog &dialog)
{
    return ClassListReader::textOf(dialog.entries());
}

// Types into a cell as a teacher does: F2 on the cell, the text, Enter.
void typeInto(ClassListDialog &dialog, int row, int column, const QString &text)
{
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.PupilsTable->setFocus();
    dialog.PupilsTable->setCurrentCell(row, column);
    QTest::keyClick(dialog.PupilsTable, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != dialog.PupilsTable);
    // QTest types only ASCII: the accented names go in as an input method would put them.
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (auto *box = qobject_cast<QComboBox *>(editor))
        line = box->lineEdit();
    QVERIFY(line);
    line->selectAll();
    line->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view takes what was typed a turn of the event loop later.
    QCoreApplication::processEvents();
}

} // namespace

void TestClassDialogs::settingsShownAndReadBack()
{
    ClassSettings given;
    given.shuffleAnswers = true;
    given.markScale = 10;
    given.roundingHundredths = 25;
    ClassSettingsDialog dialog(given);
    QVERIFY(!dialog.ShuffleQuestionsBox->isChecked());
    QCOMPARE(dialog.RoundingBox->currentText(), QStringLiteral("à 0,25 point près"));
    QVERIFY(dialog.settings() == given);

    dialog.ShuffleQuestionsBox->setChecked(true);
    dialog.ScaleBox->setValue(40);
    dialog.PenaltyBox->setCurrentIndex(1);
    // When the corrections come is asked only where the pupil is to see them.
    QVERIFY(!dialog.CorrectionsBox->isEnabled());
    dialog.EndViewBox->setCurrentIndex(2);
    QVERIFY(dialog.CorrectionsBox->isEnabled());
    QCOMPARE(dialog.CorrectionsBox->currentText(), QStringLiteral("Après la copie"));
    dialog.CorrectionsBox->setCurrentIndex(dialog.CorrectionsBox->findText(QStringLiteral("À la fin de la passation")));
    const ClassSettings chosen = dialog.settings();
    QCOMPARE(chosen.correctionsShown, ClassSettings::CorrectionsShown::AfterRun);
    QVERIFY(chosen.shuffleQuestions && chosen.shuffleAnswers);
    QCOMPARE(chosen.markScale, 40);
    QCOMPARE(chosen.penalty, ClassSettings::Penalty::Chance);
    QCOMPARE(chosen.endView, ClassSettings::EndView::MarkAndCorrections);
}

void TestClassDialogs::drawCheckedBeforeItIsKept_data()
{
    QTest::addColumn<int>("draw"); // the item chosen with the keyboard
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("problem");
    QTest::newRow("8 among 8") << 1 << 8 << 0 << "";
    QTest::newRow("9 among 8") << 1 << 9 << 0 << "Le tirage demande 9 questions ; le questionnaire n'en a que 8.";
    QTest::newRow("by group, 2 groups") << 2 << 1 << 2 << "";
    QTest::newRow("by group, none")
        << 2 << 1 << 0
        << "Aucune question n'est dans un groupe : commencez le titre des questions d'un même groupe par son nom "
           "entre crochets, par exemple « [Fractions] Combien font 1/2 + 1/4 ? ».";
}

void TestClassDialogs::drawCheckedBeforeItIsKept()
{
    QFETCH(int, draw);
    QFETCH(int, count);
    QFETCH(int, groups);
    QFETCH(QString, problem);
    ClassSettingsDialog dialog{ClassSettings()};
    dialog.setBank(8, groups);
    dialog.show();
    QVERIFY(!dialog.DrawCountBox->isEnabled());
    dialog.DrawBox->setFocus();
    for (int i = 0; i < draw; ++i)
        QTest::keyClick(dialog.DrawBox, Qt::Key_Down);
    QCOMPARE(dialog.DrawCountBox->isEnabled(), draw == 1);
    if (draw == 1) {
        dialog.DrawCountBox->setFocus();
        dialog.DrawCountBox->selectAll();
        QTest::keyClicks(dialog.DrawCountBox, QString::number(count));
    }
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, problem.isEmpty());
    QCOMPARE(dialog.DrawProblemLabel->isVisible(), !problem.isEmpty());
    QCOMPARE(dialog.DrawProblemLabel->isVisible() ? dialog.DrawProblemLabel->text() : QString(), problem);
    if (problem.isEmpty())
        QCOMPARE(dialog.settings().drawCount, draw == 1 ? count : 0);
}

void TestClassDialogs::classListImportedCorrectedKeptDeleted()
{
    QTemporaryDir dir;
    QFile export_(dir.filePath(QStringLiteral("4e B.csv")));
    QVERIFY(export_.open(QIODevice::WriteOnly));
    export_.write("Nom;Pr\xe9nom;Classe\nDUPONT;Marie;4B\nMARTIN;L\xe9o;4B\n");
    export_.close();
    ScriptedServices scripted;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    ClassListDialog dialog(store, scripted.services);

    scripted.dialogs.script(export_.fileName());
    QTest::mouseClick(dialog.ImportButton, Qt::LeftButton);
    QCOMPARE(dialog.ClassNameEdit->text(), QStringLiteral("4e B"));
    QCOMPARE(tableText(dialog), QStringLiteral("DUPONT Marie\nMARTIN Léo"));
    QCOMPARE(dialog.CountLabel->text(), QStringLiteral("2 élève(s)"));
    // The teacher corrects a name, adds two pupils in the blank row kept last, gives one extra
    // time and takes the other out again before keeping the list.
    dialog.show();
    typeInto(dialog, 1, ClassListDialog::NameColumn, QStringLiteral("MARTIN Léon"));
    typeInto(dialog, 2, ClassListDialog::NameColumn, QStringLiteral("NOUVEAU Zoé"));
    typeInto(dialog, 2, ClassListDialog::ExtraTimeColumn, QStringLiteral("33%"));
    typeInto(dialog, 3, ClassListDialog::NameColumn, QStringLiteral("ERREUR Max"));
    QCOMPARE(dialog.PupilsTable->rowCount(), 5);
    QCOMPARE(dialog.CountLabel->text(), QStringLiteral("4 élève(s), dont 1 avec un temps majoré"));
    dialog.PupilsTable->setCurrentCell(3, ClassListDialog::NameColumn);
    QTest::keyClick(dialog.PupilsTable, Qt::Key_Delete);
    QCOMPARE(dialog.PupilsTable->rowCount(), 4);
    QTest::mouseClick(dialog.SaveButton, Qt::LeftButton);
    QCOMPARE(store.pupils(QStringLiteral("4e B")),
             (QStringList{QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Léon"), QStringLiteral("NOUVEAU Zoé")}));
    QCOMPARE(store.extraTimeOf(QStringLiteral("4e B"), QStringLiteral("NOUVEAU Zoé")).text(), QStringLiteral("+33 %"));
    QCOMPARE(dialog.ClassList->count(), 1);
    QCOMPARE(dialog.ClassList->currentItem()->text(), QStringLiteral("4e B"));

    scripted.boxes.script(MessageAnswer::No);
    QTest::mouseClick(dialog.DeleteButton, Qt::LeftButton);
    QCOMPARE(store.classNames().size(), 1);
    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(dialog.DeleteButton, Qt::LeftButton);
    QCOMPARE(store.classNames(), QStringList());
    QCOMPARE(dialog.ClassList->count(), 0);
    QCOMPARE(scripted.boxes.unexpected(), 0);
}

void TestClassDialogs::badListFilesRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("no name") << QByteArray("\n \nNom;Pr\xe9nom\n") << "Le fichier liste.csv ne contient aucun nom d'élève.";
}

void TestClassDialogs::badListFilesRefused()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("liste.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ScriptedServices scripted;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    ClassListDialog dialog(store, scripted.services);
    scripted.dialogs.script(file.fileName());
    QTest::mouseClick(dialog.ImportButton, Qt::LeftButton);
    QTEST(scripted.boxes.lastText(), "message");
    QCOMPARE(tableText(dialog), QString());
    // Keeping an empty list is refused too.
    dialog.ClassNameEdit->setText(QStringLiteral("5e A"));
    QTest::mouseClick(dialog.SaveButton, Qt::LeftButton);
    QCOMPARE(scripted.boxes.lastText(), QStringLiteral("La liste ne contient aucun élève."));
    QCOMPARE(store.classNames(), QStringList());
}

void TestClassDialogs::pastedIntoTable_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("warning");
    QTest::newRow("lines with extra times") << "DUPONT;Marie;+33 %\nMARTIN Léo ; 10 min\n\nPETIT\tCléo\n"
                                            << "BLANC Ana\nDUPONT Marie ; +33 %\nMARTIN Léo ; +10 min\nPETIT Cléo" << "";
    QTest::newRow("spreadsheet with its header") << "Nom\tPrénom\tClasse\tTemps majoré\nDUPONT\tMarie\t4B\t+50 %\n"
                                                 << "BLANC Ana\nDUPONT Marie ; +50 %" << "";
    QTest::newRow("bad extra time, pupil kept")
        << "DUPONT;Marie;+33 h" << "BLANC Ana\nDUPONT Marie"
        << "Ces temps majorés n'ont pas été compris ; les élèves sont dans la liste sans temps majoré :\n"
           "Ligne 1 : « +33 h » n'est pas un temps majoré : écrivez par exemple +33 % ou +10 min.";
    QTest::newRow("nothing") << " \n" << "BLANC Ana" << "";
}

void TestClassDialogs::pastedIntoTable()
{
    QFETCH(QString, pasted);
    QTemporaryDir dir;
    ScriptedServices scripted;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    ClassListDialog dialog(store, scripted.services);
    dialog.setEntries({{QStringLiteral("BLANC Ana"), {}}});
    // The paste starts at the current row, yet never writes over a pupil already there.
    dialog.PupilsTable->setCurrentCell(0, ClassListDialog::NameColumn);
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(dialog.PupilsTable, Qt::Key_V, Qt::ControlModifier);
    QTEST(tableText(dialog), "table");
    QTEST(scripted.boxes.lastText(), "warning");
    QVERIFY(dialog.PupilsTable->item(dialog.PupilsTable->rowCount() - 1, 0) == nullptr
            || dialog.PupilsTable->item(dialog.PupilsTable->rowCount() - 1, 0)->text().isEmpty());
}

void TestClassDialogs::typedExtraTime_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("percent") << "33%" << "+33 %" << "";
    QTest::newRow("minutes") << "+ 10 minutes" << "+10 min" << "";
    QTest::newRow("zero is none") << "0" << "" << "";
    QTest::newRow("not a time") << "un tiers" << "un tiers"
                                << "Ligne 1 (DUPONT Marie) : « un tiers » n'est pas un temps majoré : écrivez par "
                                   "exemple +33 % ou +10 min.";
    QTest::newRow("past any plan") << "+250 %" << "+250 %"
                                   << "Ligne 1 (DUPONT Marie) : « +250 % » : un temps majoré ne dépasse pas +200 %.";
}

void TestClassDialogs::typedExtraTime()
{
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    ScriptedServices scripted;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    ClassListDialog dialog(store, scripted.services);
    dialog.show();
    dialog.ClassNameEdit->setText(QStringLiteral("3e C"));
    typeInto(dialog, 0, ClassListDialog::NameColumn, QStringLiteral("DUPONT Marie"));
    typeInto(dialog, 0, ClassListDialog::ExtraTimeColumn, typed);
    QTEST(dialog.PupilsTable->item(0, ClassListDialog::ExtraTimeColumn)->text(), "shown");
    QTest::mouseClick(dialog.SaveButton, Qt::LeftButton);
    QCOMPARE(scripted.boxes.lastText(), refusal);
    QCOMPARE(store.classNames().isEmpty(), !refusal.isEmpty());
}

QTEST_MAIN(TestClassDialogs)
#include "tst_classdialogs.moc"
