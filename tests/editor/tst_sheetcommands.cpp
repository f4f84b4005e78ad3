// The sheet's list, find, replace, path and undo commands, driven through their real windows in
// the whole program (scripted message boxes and file dialogs).
#include "app/workspace.h"
#include "document/qcmformat.h"
#include "editor/planche.h"
#include "scriptedservices.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "whenshown.h"

#include <memory>

namespace {

// Question k titled titles[k], picture "C:\IMAGES\<k>.BMP", free-text marker "id <k>".
QStringList questionnaire(const QStringList &titles)
{
    QStringList lines;
    for (int k = 0; k < int(titles.size()); ++k) {
        lines << QcmFormat::openingTag(k) << QStringLiteral("TITLE ") + titles.at(k)
              << QStringLiteral("PICTURE C:\\IMAGES\\%1.BMP").arg(k);
        for (int a = 1; a <= 5; ++a)
            lines << QStringLiteral("REP%1 r").arg(a);
        lines << QStringLiteral("REPONSE 1") << QStringLiteral("id %1").arg(k) << QcmFormat::closingTag(k)
              << QStringLiteral(" ");
    }
    return lines;
}

struct Program : ScriptedServices
{
    Program() : ScriptedServices(QDateTime(QDate(2026, 12, 7), QTime(9, 0))) {}

    Workspace workspace{services};

    TPlanche &sheet() { return *workspace.sheet; }
    QuestionStore &store() { return workspace.sheet->store(); }
    void load(const QStringList &titles) { store().ChargeLignes(questionnaire(titles), QStringLiteral("essai.qcm")); }
    // The free-text marker of each question in number order: which question it holds.
    QStringList markers()
    {
        QStringList ids;
        for (int n = 0; n < store().QuestionCount(); ++n) {
            const int open = QcmFormat::findBlock(store().document(), n);
            ids << (open < 0 ? QStringLiteral("-") : store().document().at(open + 9).mid(3));
        }
        return ids;
    }
    QAction *undoAction()
    {
        for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
            if (action->text() == QLatin1String("&Annuler"))
                return action;
        }
        return nullptr;
    }
};

} // namespace

class TestSheetCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void questionList_data();
    void questionList();
    void questionListLeftAloneKeepsFocus();
    void findDialogVerdict_data();
    void findDialogVerdict();
    void replaceDialogVerdict_data();
    void replaceDialogVerdict();
    void relativePaths_data();
    void relativePaths();
    void pathDialog_data();
    void pathDialog();
    void pathDialogOpensFolders();
    void pathDialogReopensOnLastChoice();
    void undoAfterEachCommand_data();
    void undoAfterEachCommand();
    void ctrlZTakesBackFieldTypingFirst();

private:
    std::unique_ptr<Program> program;
    QString startFolder;
};

void TestSheetCommands::init()
{
    startFolder = QDir::currentPath();
    program = std::make_unique<Program>();
    program->workspace.mainForm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&program->workspace.mainForm));
}

void TestSheetCommands::cleanup()
{
    QCOMPARE(program->boxes.unexpected(), 0);
    QCOMPARE(program->boxes.pendingAnswers(), 0);
    program.reset();
    QDir::setCurrent(startFolder);
}

void TestSheetCommands::questionList_data()
{
    // Steps in the list: "row:<k>" selects, "up", "down" (the arrow buttons), "ctrl+up",
    // "ctrl+down", "key:down" (the arrow key), "tab" and "space" (on the focused control), "none"
    // clears the selection, then one way of closing: "fermer", "escape", "enter", "close",
    // "double:<k>".
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("markers"); // afterwards, in question order
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("modified");
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("C, A, B and go to C") << abc << 1 << QStringList{"row:2", "up", "up", "fermer"}
                                         << QStringList{"2", "0", "1"} << 0 << true;
    QTest::newRow("Escape after moves writes the order, sheet stays on its question")
        << abc << 1 << QStringList{"row:1", "down", "escape"} << QStringList{"0", "2", "1"} << 2 << true;
    QTest::newRow("close box goes to the chosen question") << abc << 0 << QStringList{"row:2", "close"}
                                                           << QStringList{"0", "1", "2"} << 2 << false;
    QTest::newRow("arrows before any choice do nothing") << abc << 1 << QStringList{"up", "down", "ctrl+up", "fermer"}
                                                         << QStringList{"0", "1", "2"} << 1 << false;
    QTest::newRow("Ctrl+Up twice, Ctrl+Down once: A, C, B")
        << abc << 0 << QStringList{"row:2", "ctrl+up", "ctrl+up", "ctrl+down", "enter"} << QStringList{"0", "2", "1"} << 1
        << true;
    // The arrow key starts from the question shown; Tab reaches the arrows and "Fermer".
    QTest::newRow("keyboard alone: arrow key, Tab, Space")
        << abc << 0 << QStringList{"key:down", "tab", "space", "tab", "tab", "space"} << QStringList{"1", "0", "2"} << 0
        << true;
    QTest::newRow("Fermer with nothing selected stays") << abc << 2 << QStringList{"none", "up", "fermer"}
                                                        << QStringList{"0", "1", "2"} << 2 << false;
    QTest::newRow("double click goes to that question") << abc << 0 << QStringList{"double:2"}
                                                        << QStringList{"0", "1", "2"} << 2 << false;
    QTest::newRow("Enter goes to the selected question") << abc << 0 << QStringList{"row:1", "enter"}
                                                         << QStringList{"0", "1", "2"} << 1 << false;
    QTest::newRow("first up and last down do nothing")
        << abc << 0 << QStringList{"row:0", "up", "row:2", "down", "escape"} << QStringList{"0", "1", "2"} << 0 << false;
    QTest::newRow("equal titles kept apart") << QStringList{"ciel", "CIEL", "ciel"} << 0
                                             << QStringList{"row:0", "down", "down", "enter"}
                                             << QStringList{"1", "2", "0"} << 2 << true;
}

void TestSheetCommands::questionList()
{
    QFETCH(QStringList, titles);
    QFETCH(int, shown);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, markers);
    QFETCH(int, current);
    QFETCH(bool, modified);
    program->load(titles);
    program->store().AllerA(shown);
    TPageListe *list = &program->workspace.pageListe;
    whenShown(list, [list, steps] {
        QCOMPARE(list->ListBox1->count(), 3);
        QCOMPARE(list->ListBox1->selectedItems().size(), 0);
        for (const QString &step : steps) {
            const int row = step.section(QLatin1Char(':'), 1).toInt();
            if (step.startsWith(QLatin1String("row:")))
                list->ListBox1->setCurrentRow(row);
            else if (step == QLatin1String("none"))
                list->ListBox1->clearSelection();
            else if (step == QLatin1String("up"))
                QTest::mouseClick(list->SpeedButton1, Qt::LeftButton);
            else if (step == QLatin1String("down"))
                QTest::mouseClick(list->SpeedButton2, Qt::LeftButton);
            else if (step == QLatin1String("ctrl+up"))
                QTest::keyClick(list->ListBox1, Qt::Key_Up, Qt::ControlModifier);
            else if (step == QLatin1String("ctrl+down"))
                QTest::keyClick(list->ListBox1, Qt::Key_Down, Qt::ControlModifier);
            else if (step == QLatin1String("key:down"))
                QTest::keyClick(list->ListBox1, Qt::Key_Down);
            else if (step == QLatin1String("tab"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            else if (step == QLatin1String("space"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            else if (step == QLatin1String("fermer"))
                QTest::mouseClick(list->Button1, Qt::LeftButton);
            else if (step == QLatin1String("escape"))
                QTest::keyClick(list->ListBox1, Qt::Key_Escape);
            else if (step == QLatin1String("enter"))
                QTest::keyClick(list->ListBox1, Qt::Key_Return);
            else if (step == QLatin1String("close"))
                list->close();
            else if (step.startsWith(QLatin1String("double:"))) {
                const QRect place = list->ListBox1->visualItemRect(list->ListBox1->item(row));
                // The view takes a double click only on the row its press went to.
                QTest::mousePress(list->ListBox1->viewport(), Qt::LeftButton, {}, place.center());
                QTest::mouseDClick(list->ListBox1->viewport(), Qt::LeftButton, {}, place.center());
            }
        }
    });
    QTest::keyClick(program->sheet().Edit1, Qt::Key_F2);
    QVERIFY(!list->isVisible());
    QCOMPARE(program->markers(), markers);
    QCOMPARE(program->store().CurrentQuestion(), current);
    QCOMPARE(program->store().DocumentModified(), modified);
    // The sheet shows the question it says, read from the document as it now stands.
    QCOMPARE(program->sheet().Memo1->toPlainText(), QStringLiteral("id ") + markers.at(current));
    QCOMPARE(program->sheet().Panel1->text(), QStringLiteral("Question %1").arg(current + 1));
}

void TestSheetCommands::questionListLeftAloneKeepsFocus()
{
    program->load({"A", "B", "C"});
    program->store().AllerA(1);
    program->sheet().Memo1->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), program->sheet().Memo1);
    TPageListe *list = &program->workspace.pageListe;
    whenShown(list, [list] { QTest::keyClick(list->ListBox1, Qt::Key_Escape); });
    QTest::keyClick(program->sheet().Memo1, Qt::Key_F2);
    QVERIFY(!list->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), program->sheet().Memo1);
    QCOMPARE(program->store().CurrentQuestion(), 1);
    QVERIFY(!program->store().DocumentModified());
}

void TestSheetCommands::findDialogVerdict_data()
{
    QTest::addColumn<QString>("closing");
    QTest::addColumn<bool>("searched");
    QTest::newRow("OK") << "ok" << true;
    QTest::newRow("Enter in the edit box") << "enter" << true;
    QTest::newRow("Annuler") << "annuler" << false;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("close box, after an earlier OK") << "close" << false;
}

void TestSheetCommands::findDialogVerdict()
{
    QFETCH(QString, closing);
    QFETCH(bool, searched);
    program->load({"un", "deux ciel", "trois"});
    TFindDialog *find = &program->workspace.findDialog;
    // An earlier search confirmed with OK: its verdict must not carry over.
    whenShown(find, [find] {
        QTest::keyClicks(find->Edit1, QStringLiteral("ciel"));
        QTest::mouseClick(find->Button1, Qt::LeftButton);
    });
    program->sheet().Chercher();
    QCOMPARE(program->store().CurrentQuestion(), 1);
    program->store().AllerA(0);

    whenShown(find, [find, closing] {
        QCOMPARE(QApplication::focusWidget(), find->Edit1);
        QCOMPARE(find->Edit1->text(), QStringLiteral("ciel")); // kept from the last use
        if (closing == QLatin1String("ok"))
            QTest::mouseClick(find->Button1, Qt::LeftButton);
        else if (closing == QLatin1String("enter"))
            QTest::keyClick(find->Edit1, Qt::Key_Return);
        else if (closing == QLatin1String("annuler"))
            QTest::mouseClick(find->Button2, Qt::LeftButton);
        else if (closing == QLatin1String("escape"))
            QTest::keyClick(find->Edit1, Qt::Key_Escape);
        else
            find->close();
    });
    program->sheet().Chercher();
    QCOMPARE(program->store().CurrentQuestion(), searched ? 1 : 0);
    QCOMPARE(program->sheet().search().SearchText(), searched ? QStringLiteral("CIEL") : QString());
    QVERIFY(program->boxes.shown().isEmpty());
    // After a cancelled search F3 has nothing to look for.
    if (!searched) {
        program->boxes.script(MessageAnswer::Ok);
        program->sheet().Continuer();
        QCOMPARE(program->boxes.lastText(), QStringLiteral("Chaîne non trouvée"));
    }
}

void TestSheetCommands::replaceDialogVerdict_data()
{
    QTest::addColumn<QString>("closing");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("OK") << "ok" << true;
    QTest::newRow("Enter in the replacement box") << "enter" << true;
    QTest::newRow("close box") << "close" << false;
}

void TestSheetCommands::replaceDialogVerdict()
{
    QFETCH(QString, closing);
    QFETCH(bool, replaced);
    program->load({"le ciel", "la mer"});
    TReplaceDialog *replace = &program->workspace.replaceDialog;
    whenShown(replace, [replace, closing] {
        QTest::keyClicks(replace->Edit1, QStringLiteral("ciel"));
        QTest::keyClick(replace->Edit1, Qt::Key_Tab);
        QTest::keyClicks(replace->Edit2, QStringLiteral("Soleil"));
        if (closing == QLatin1String("ok"))
            QTest::mouseClick(replace->Button1, Qt::LeftButton);
        else if (closing == QLatin1String("enter"))
            QTest::keyClick(replace->Edit2, Qt::Key_Return);
        else if (closing == QLatin1String("escape"))
            QTest::keyClick(replace->Edit2, Qt::Key_Escape);
        else
            replace->close();
    });
    if (replaced)
        program->boxes.script(MessageAnswer::Yes);
    program->sheet().Remplacer();
    QCOMPARE(program->sheet().Edit1->text(), replaced ? QStringLiteral("le Soleil") : QStringLiteral("le ciel"));
    QCOMPARE(program->store().DocumentModified(), replaced);
    QCOMPARE(program->sheet().search().ReplaceText(), replaced ? QStringLiteral("Soleil") : QString());
}

void TestSheetCommands::relativePaths_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("Oui") << MessageAnswer::Yes;
    QTest::newRow("Non") << MessageAnswer::No;
}

void TestSheetCommands::relativePaths()
{
    QFETCH(MessageAnswer, answer);
    program->load({"un", "deux"});
    program->store().AllerA(1);
    program->store().EcritFiche();
    const QStringList before = program->store().document();
    program->sheet().Memo1->setPlainText(QStringLiteral("PICTURE D:\\AUTRE\\NOTE.BMP")); // typed, not written back
    const bool modified = program->store().DocumentModified();
    program->boxes.script(answer);
    program->sheet().ChRelatifs();
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.lastText(), QStringLiteral("Attention, modification irréversible. Continuer ?"));
    QCOMPARE(program->boxes.shown().first().buttons, MessageButtons::YesNo);
    QCOMPARE(program->store().CurrentQuestion(), 1);
    if (answer == MessageAnswer::No) {
        QCOMPARE(program->store().document(), before);
        QCOMPARE(program->store().DocumentModified(), modified);
        QCOMPARE(program->sheet().Memo1->toPlainText(), QStringLiteral("PICTURE D:\\AUTRE\\NOTE.BMP"));
        return;
    }
    QVERIFY(program->store().DocumentModified());
    QCOMPARE(program->store().CurrentPicture(), QStringLiteral("1.BMP"));
    // The free text being edited was written back, then converted like any picture line.
    QCOMPARE(program->sheet().Memo1->toPlainText(), QStringLiteral("PICTURE NOTE.BMP"));
    QVERIFY(program->store().document().contains(QStringLiteral("PICTURE 0.BMP")));
}

void TestSheetCommands::pathDialog_data()
{
    QTest::addColumn<QString>("closing");
    QTest::addColumn<bool>("converted");
    QTest::newRow("OK") << "ok" << true;
    QTest::newRow("Enter on the focused OK") << "enter" << true;
    QTest::newRow("Annuler") << "annuler" << false;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("close box after an earlier OK") << "close" << false;
}

void TestSheetCommands::pathDialog()
{
    QFETCH(QString, closing);
    QFETCH(bool, converted);
    QTemporaryDir images;
    program->load({"un", "deux"});
    TFixchemin *paths = &program->workspace.fixchemin;
    QVERIFY(paths->openDirectory(images.path()));
    // An earlier confirmed use must not decide for a later one.
    whenShown(paths, [paths] { QTest::mouseClick(paths->Button1, Qt::LeftButton); });
    program->sheet().Chemins();
    program->store().ChargeLignes(questionnaire({"un", "deux"}), QStringLiteral("essai.qcm"));

    whenShown(paths, [paths, closing] {
        QCOMPARE(paths->Label2->text(), QDir::currentPath());
        if (closing == QLatin1String("ok"))
            QTest::mouseClick(paths->Button1, Qt::LeftButton);
        else if (closing == QLatin1String("enter")) {
            paths->Button1->setFocus();
            QTest::keyClick(paths->Button1, Qt::Key_Return);
        } else if (closing == QLatin1String("annuler"))
            QTest::mouseClick(paths->Button2, Qt::LeftButton);
        else if (closing == QLatin1String("escape"))
            QTest::keyClick(paths->DirectoryListBox1, Qt::Key_Escape);
        else
            paths->close();
    });
    program->sheet().Chemins();
    const QString expected = converted ? QDir(images.path()).filePath(QStringLiteral("0.BMP"))
                                       : QStringLiteral("C:\\IMAGES\\0.BMP");
    QCOMPARE(program->store().CurrentPicture(), expected);
    QCOMPARE(program->store().DocumentModified(), converted);
}

void TestSheetCommands::pathDialogOpensFolders()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("images/chats")));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("sons")));
    TFixchemin *paths = &program->workspace.fixchemin;
    QVERIFY(paths->openDirectory(root.path()));
    QTreeWidgetItem *chosen = paths->DirectoryListBox1->currentItem();
    QCOMPARE(chosen->text(0), QDir(root.path()).dirName());
    QCOMPARE(chosen->childCount(), 2);
    QCOMPARE(chosen->child(0)->text(0), QStringLiteral("images"));

    // Enter on a folder opens it: it becomes the chosen and the current directory.
    paths->DirectoryListBox1->setCurrentItem(chosen->child(0));
    QTest::keyClick(paths->DirectoryListBox1, Qt::Key_Return);
    const QString images = QDir(root.path()).filePath(QStringLiteral("images"));
    QCOMPARE(paths->chosenDirectory(), images);
    QCOMPARE(paths->Label2->text(), images);
    QCOMPARE(QDir::currentPath(), images);
    QCOMPARE(paths->DirectoryListBox1->currentItem()->child(0)->text(0), QStringLiteral("chats"));
    // A single click only highlights.
    QTreeWidgetItem *chats = paths->DirectoryListBox1->currentItem()->child(0);
    QTest::mouseClick(paths->DirectoryListBox1->viewport(), Qt::LeftButton, {},
                      paths->DirectoryListBox1->visualItemRect(chats).center());
    QCOMPARE(paths->chosenDirectory(), images);
    // A folder that does not exist is not opened.
    QVERIFY(!paths->openDirectory(QDir(root.path()).filePath(QStringLiteral("absent"))));
    QCOMPARE(paths->chosenDirectory(), images);
}

void TestSheetCommands::pathDialogReopensOnLastChoice()
{
    // A folder whose name ends in a backslash, as a folder copied from elsewhere may have.
    QTemporaryDir root;
    const QString chosen = QDir(root.path()).filePath(QStringLiteral("images\\"));
    QVERIFY(QDir().mkpath(chosen));
    program->load({"un", "deux"});
    TFixchemin *paths = &program->workspace.fixchemin;
    QVERIFY(paths->openDirectory(chosen));
    // Another folder became current meanwhile (a questionnaire or a picture was chosen there).
    QDir::setCurrent(root.path());
    QString shown;
    whenShown(paths, [paths, &shown] {
        shown = paths->Label2->text();
        QTest::mouseClick(paths->Button1, Qt::LeftButton);
    });
    program->sheet().Chemins();
    QCOMPARE(shown, chosen);
    QCOMPARE(program->store().CurrentPicture(), chosen + QStringLiteral("/0.BMP"));
}

void TestSheetCommands::undoAfterEachCommand_data()
{
    QTest::addColumn<QString>("command");
    // Paste, delete, add and the picture commands are taken back by the store's own tests.
    for (const char *command : {"list", "replace", "relative", "absolute"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

void TestSheetCommands::undoAfterEachCommand()
{
    QFETCH(QString, command);
    QTemporaryDir images;
    program->load({"le ciel", "la mer", "la terre"});
    program->store().AllerA(1);
    program->store().EcritFiche();
    const QStringList before = program->store().document();
    QAction *undo = program->undoAction();
    QVERIFY(undo && !undo->isEnabled());

    auto &w = program->workspace;
    if (command == QLatin1String("list")) {
        whenShown(&w.pageListe, [&w] {
            w.pageListe.ListBox1->setCurrentRow(2);
            QTest::mouseClick(w.pageListe.SpeedButton1, Qt::LeftButton);
            QTest::mouseClick(w.pageListe.Button1, Qt::LeftButton);
        });
        program->sheet().Index();
    } else if (command == QLatin1String("replace")) {
        whenShown(&w.replaceDialog, [&w] {
            w.replaceDialog.Edit1->setText(QStringLiteral("la"));
            w.replaceDialog.Edit2->setText(QStringLiteral("une"));
            QTest::mouseClick(w.replaceDialog.Button1, Qt::LeftButton);
        });
        program->boxes.script(MessageAnswer::Yes);
        program->boxes.script(MessageAnswer::Yes);
        program->sheet().Remplacer();
    } else if (command == QLatin1String("relative")) {
        program->boxes.script(MessageAnswer::Yes);
        program->sheet().ChRelatifs();
    } else {
        QVERIFY(w.fixchemin.openDirectory(images.path()));
        whenShown(&w.fixchemin, [&w] { QTest::mouseClick(w.fixchemin.Button1, Qt::LeftButton); });
        program->sheet().Chemins();
    }
    QVERIFY(program->store().document() != before || program->store().CurrentQuestion() != 1);
    QVERIFY(undo->isEnabled());

    undo->trigger();
    QCOMPARE(program->store().document(), before);
    QCOMPARE(program->store().QuestionCount(), 3);
    QCOMPARE(program->store().CurrentQuestion(), 1);
    QVERIFY(!program->store().DocumentModified());
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("la mer"));
    QCOMPARE(program->store().CurrentPicture(), QStringLiteral("C:\\IMAGES\\1.BMP"));
    QVERIFY(!undo->isEnabled());
}

void TestSheetCommands::ctrlZTakesBackFieldTypingFirst()
{
    // Opened as the author would, so the menu shortcuts are enabled.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("essai.qcm")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(questionnaire({"le ciel", "la mer"}).join(QStringLiteral("\r\n")).toLatin1());
    file.close();
    program->workspace.mainForm.openNamedQuestionnaire(file.fileName());
    QCOMPARE(program->store().QuestionCount(), 2);
    program->workspace.mainForm.activateWindow();
    QLineEdit *title = program->sheet().Edit1;
    title->setFocus();
    QTest::keyClick(title, Qt::Key_C, Qt::ControlModifier); // copies "le ciel"
    program->store().AllerA(1);
    QTest::keyClick(title, Qt::Key_V, Qt::ControlModifier);  // the whole question replaced
    QCOMPARE(title->text(), QStringLiteral("le ciel"));
    title->setFocus();
    title->end(false);
    QTest::keyClicks(title, QStringLiteral(" bleu"));
    QCOMPARE(title->text(), QStringLiteral("le ciel bleu"));

    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier); // the typing first
    QCOMPARE(title->text(), QStringLiteral("le ciel"));
    QCOMPARE(program->store().CurrentQuestion(), 1);
    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier); // then the paste
    QCOMPARE(title->text(), QStringLiteral("la mer"));
    QVERIFY(!program->store().DocumentModified());
}

QTEST_MAIN(TestSheetCommands)
#include "tst_sheetcommands.moc"
