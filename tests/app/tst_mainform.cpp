#include "accessories/pocket.h"
#include "app/hints.h"
#include "app/mainform.h"
#include "app/workspace.h"
#include "document/qcmformat.h"
#include "editor/planche.h"
#include "pictures/imageframe.h"
#include "platform/helpwindow.h"
#include "results/resultsfile.h"
#include "results/statisticswindow.h"
#include "menuprogram.h"
#include "pdfreader.h"
#include "scriptedservices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// One fresh program for every test: scripted boxes, dialogs and clock, the real windows.
struct Program : ScriptedServices
{
    Workspace workspace{services};

    TMainForm &form() { return workspace.mainForm; }
    TPlanche &sheet() { return *workspace.sheet; }

    QAction *action(const QString &text)
    {
        for (QAction *action : form().findChildren<QAction *>()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }
    QToolButton *button(const QString &name) { return form().findChild<QToolButton *>(name); }
    void trigger(const QString &text)
    {
        QAction *item = action(text);
        QVERIFY2(item, qPrintable(text));
        item->trigger();
    }
};

class TestMainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void frameHoldsSheetMaximisedWithoutBorder();
    void menus_data();
    void menus();
    void menuLettersDistinct();
    void separatorsStandAfter_data();
    void separatorsStandAfter();
    void toolButtons_data();
    void toolButtons();
    void enabledStatesBeforeAndAfterValide_data();
    void enabledStatesBeforeAndAfterValide();
    void addButtonValidates();
    void menuHintsInStatusBar_data();
    void menuHintsInStatusBar();
    void toolButtonHints_data();
    void toolButtonHints();
    void hintParts_data();
    void hintParts();
    void statusClock();
    void hintPanelFollowsWidth();

    void newWhileModified_data();
    void newWhileModified();
    void newAsksWithEmptyNameWhenNeverSaved();
    void newQuestionnaireIsWhiteOnBlack();
    void newGivesTitleTheFocus();
    void openWhileModified_data();
    void openWhileModified();
    void openTxtLoadsQcm();
    void openMissingFileKeepsQuestionnaireAndName();
    void saveNeverSavedAsksName_data();
    void saveNeverSavedAsksName();
    void saveAsExistingFile_data();
    void saveAsExistingFile();
    void frameNamesTheFileAfterSaveAs();
    void failedSaveIsReportedAndKeepsChanges();
    void unencodableCharacterIsReportedOnSaving();
    void quit_data();
    void quit();
    void quitAfterOnlyBrowsingAsksNothing();
    void quitSavingANewQuestionnaireLeavesNoBlankLineOnTop();
    void quitRestoresStartFolder();
    void editsThatAskOnQuitting_data();
    void editsThatAskOnQuitting();

    void shortcutsCopyAndPasteTheQuestionFromAField();
    void pageMenuForwardsToSheet();
    void helpCommands();
    void aboutBoxFromMenu();
    void accessoriesFromMenu_data();
    void accessoriesFromMenu();
    void calculatorFromMenu();
    void droppedQuestionnaireOpens();
    void commandLineQuestionnaireOpens();

    void printQuestionnaireWithCtrlP_data();
    void printQuestionnaireWithCtrlP();
    void statisticsWithoutMatchingResults_data();
    void statisticsWithoutMatchingResults();
    void statisticsOfKeptResults();
    void statisticsOfAFileChosenElsewhere_data();
    void statisticsOfAFileChosenElsewhere();

private:
    std::unique_ptr<Program> program;
    std::unique_ptr<QTemporaryDir> dir;
    QString startFolder;

    QString sample(const QString &name, int count = 5)
    {
        return writeFile(dir->filePath(name), questionnaireBytes(count));
    }
    // Keeps a run of the questionnaire the sheet holds, answered `answers` (0: no answer).
    void keepRun(const QString &resultsPath, const QString &pupil, const std::vector<int> &answers)
    {
        RunSession session;
        session.Init(program->sheet().store().document());
        session.Compte();
        session.Exec();
        for (size_t i = 0; i + 1 < answers.size(); ++i)
            session.Suivant(answers[i]);
        KeptRun run;
        run.when = program->clock.now();
        run.pupil = pupil;
        run.results = session.score(answers.back());
        ResultsFile::append(resultsPath, run);
    }
    // Opens through the dialog, as the author would.
    void open(const QString &path)
    {
        program->dialogs.script(path);
        program->trigger(QStringLiteral("&Ouvrir..."));
    }
};

void TestMainForm::init()
{
    startFolder = QDir::currentPath();
    dir = std::make_unique<QTemporaryDir>();
    program = std::make_unique<Program>();
    program->form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&program->form()));
}

void TestMainForm::cleanup()
{
    QCOMPARE(program->boxes.unexpected(), 0);
    QCOMPARE(program->dialogs.unexpected(), 0);
    QCOMPARE(program->boxes.pendingAnswers(), 0);
    program.reset();
    dir.reset();
    QDir::setCurrent(startFolder);
}

void TestMainForm::frameHoldsSheetMaximisedWithoutBorder()
{
    TMainForm &form = program->form();
    QCOMPARE(form.windowTitle(), QStringLiteral("Nelo Qcm"));
    const QList<QMdiSubWindow *> windows = form.mdiArea()->subWindowList();
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows.first()->widget(), &program->sheet());
    QVERIFY(windows.first()->isMaximized());
    QVERIFY(windows.first()->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(program->sheet().Panel1->text(), QStringLiteral("Question 1"));
    QCOMPARE(program->sheet().store().QuestionCount(), 1);
}

void TestMainForm::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("Fichier") << "&Fichier"
                             << QStringList{"&Nouveau", "&Ouvrir...", "&Enregistrer", "Enregistrer &sous...", "&Importer...",
                                            "E&xporter...", "Im&primer le questionnaire...",
                                            "Imprimer des &copies à corriger...", "Corri&ger des copies scannées...",
                                            "&Quitter"};
    QTest::newRow("Edition") << "&Edition"
                             << QStringList{"&Annuler", "&Copier", "C&oller", "Copier &Image", "C&hercher...", "Co&ntinuer",
                                            "&Remplacer...", "&Suprimer image", "Insérer une correc&tion"};
    QTest::newRow("Page") << "&Page"
                          << QStringList{"&Précédente           PgUp", "&Suivante                 PgDn  ", "P&remière",
                                         "&Dernière", "&Ajouter", "S&upprimer", "&Chemins relatifs",
                                         "Chemins &absolus...", "&Liste des questions"};
    QTest::newRow("Questionnaire") << "&Questionnaire"
                                   << QStringList{"&Exécuter", "Faire passer à la &classe...", "&Passation sur le réseau...", "Passation en &direct...",
                                                  "&Réglages de la passation...",
                                                  "&Listes de classe...", "&Statistiques des résultats...",
                                                  "Exporter les &notes...", "Imprimer les copies corrigées..."};
    QTest::newRow("Utilitaires") << "&Utilitaires" << QStringList{"&Calendrier", "C&alculatrice", "&Horloge"};
    QTest::newRow("Aide") << "&Aide" << QStringList{"&Index", "&Rechercher", "&Utiliser l'aide", "&A propos..."};
}

void TestMainForm::menus()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QMenu *found = nullptr;
    for (QAction *top : program->form().menuBar()->actions()) {
        if (top->text() == menu)
            found = top->menu();
    }
    QVERIFY(found);
    QStringList texts;
    for (QAction *item : found->actions()) {
        if (!item->isSeparator())
            texts << item->text();
    }
    QCOMPARE(texts, items);
    QStringList order;
    for (QAction *top : program->form().menuBar()->actions())
        order << top->text();
    QCOMPARE(order, (QStringList{"&Fichier", "&Edition", "&Page", "&Questionnaire", "&Utilitaires", "&Aide"}));
}

// Alt plus a letter must reach one item only. The one clash the original menus already had
// ("&Ajouter" and "Chemins &absolus..." in "&Page") stays: those captions are the program's.
void TestMainForm::menuLettersDistinct()
{
    const QSet<QStringList> kept{{"&Ajouter", "Chemins &absolus..."}};
    // The menu bar, then every menu and submenu it leads to.
    QList<QPair<QString, QList<QAction *>>> menus{{"la barre de menus", program->form().menuBar()->actions()}};
    for (int i = 0; i < int(menus.size()); ++i) {
        for (QAction *item : menus.at(i).second) {
            if (QMenu *menu = item->menu())
                menus.append({menu->title(), menu->actions()});
        }
    }
    QVERIFY(menus.size() >= 7);
    for (const auto &[title, actions] : std::as_const(menus)) {
        QMultiHash<QChar, QString> byLetter;
        for (QAction *item : actions) {
            const QKeySequence letter = QKeySequence::mnemonic(item->text());
            if (!letter.isEmpty())
                byLetter.insert(QChar(letter[0].key()).toLower(), item->text());
        }
        for (const QChar letter : byLetter.uniqueKeys()) {
            QStringList items = byLetter.values(letter);
            std::sort(items.begin(), items.end());
            if (items.size() > 1 && !kept.contains(items))
                QFAIL(qPrintable(QStringLiteral("Alt+%1 dans %2 : %3").arg(letter, title, items.join(" / "))));
        }
    }
}

void TestMainForm::separatorsStandAfter_data()
{
    QTest::addColumn<QString>("item");
    for (const char *item : {"&Ouvrir...", "Enregistrer &sous...", "E&xporter...", "Corri&ger des copies scannées...",
                             "&Annuler", "Copier &Image", "&Remplacer...", "&Dernière", "S&upprimer",
                             "Chemins &absolus...", "&Utiliser l'aide"})
        QTest::newRow(item) << QString::fromUtf8(item);
}

void TestMainForm::separatorsStandAfter()
{
    QFETCH(QString, item);
    QAction *action = program->action(item);
    QVERIFY(action);
    const QList<QAction *> siblings = action->associatedObjects().isEmpty()
        ? QList<QAction *>()
        : qobject_cast<QMenu *>(action->associatedObjects().first())->actions();
    const int at = int(siblings.indexOf(action));
    QVERIFY(at >= 0 && at + 1 < int(siblings.size()));
    QVERIFY(siblings.at(at + 1)->isSeparator());
    // ...and nowhere else: every separator follows one of the listed items.
    int separators = 0;
    for (QAction *top : program->form().menuBar()->actions()) {
        for (QAction *entry : top->menu()->actions())
            separators += entry->isSeparator() ? 1 : 0;
    }
    QCOMPARE(separators, 11);
}

void TestMainForm::toolButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("new") << "SpeedButton1" << 9 << "Nouveau" << true;
    QTest::newRow("open") << "OpenBtn" << 34 << "Ouvrir" << true;
    QTest::newRow("save") << "SaveBtn" << 58 << "Enregistrer" << true;
    QTest::newRow("copy") << "SpeedButton9" << 93 << "Copier" << false;
    QTest::newRow("paste") << "SpeedButton10" << 117 << "Coller" << false;
    QTest::newRow("first") << "SpeedButton3" << 173 << "Premier" << false;
    QTest::newRow("previous") << "SpeedButton4" << 197 << "Précédent" << false;
    QTest::newRow("next") << "SpeedButton5" << 221 << "Suivant" << false;
    QTest::newRow("last") << "SpeedButton6" << 245 << "Dernier" << false;
    QTest::newRow("add") << "SpeedButton7" << 277 << "Ajouter" << true;
    QTest::newRow("delete") << "SpeedButton8" << 301 << "Supprimer" << false;
    QTest::newRow("run") << "SpeedButton2" << 348 << "Exécuter questionnaire" << false;
}

void TestMainForm::toolButtons()
{
    QFETCH(QString, name);
    QFETCH(int, left);
    QFETCH(QString, tooltip);
    QFETCH(bool, enabled);
    QToolButton *button = program->button(name);
    QVERIFY(button);
    QCOMPARE(button->x(), left);
    QCOMPARE(button->size(), QSize(25, 25));
    QCOMPARE(button->toolTip(), tooltip);
    QCOMPARE(button->isEnabled(), enabled);
    QVERIFY(button->autoRaise());
    QVERIFY(!button->icon().isNull());
    QCOMPARE(button->parentWidget()->height(), 30);
}

void TestMainForm::enabledStatesBeforeAndAfterValide_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("atStart");
    for (const char *item : {"&Nouveau", "&Ouvrir...", "&Enregistrer", "Enregistrer &sous...", "&Quitter", "&Calendrier",
                             "C&alculatrice", "&Horloge", "&Index", "&Rechercher", "&Utiliser l'aide", "&A propos..."})
        QTest::newRow(item) << QString::fromUtf8(item) << true;
    for (const char *item :
         {"&Copier", "C&oller", "Copier &Image", "&Chemins relatifs", "C&hercher...", "Co&ntinuer", "&Remplacer...",
          "&Suprimer image", "Chemins &absolus...", "&Précédente           PgUp", "&Suivante                 PgDn  ",
          "P&remière", "&Dernière", "&Ajouter", "S&upprimer", "&Liste des questions", "&Exécuter",
          "Im&primer le questionnaire...", "Imprimer des &copies à corriger...", "Corri&ger des copies scannées...",
          "&Statistiques des résultats...", "Exporter les &notes...", "Imprimer les copies corrigées..."})
        QTest::newRow(item) << QString::fromUtf8(item) << false;
}

void TestMainForm::enabledStatesBeforeAndAfterValide()
{
    QFETCH(QString, item);
    QFETCH(bool, atStart);
    QAction *action = program->action(item);
    QVERIFY(action);
    QCOMPARE(action->isEnabled(), atStart);
    program->trigger(QStringLiteral("&Nouveau"));
    QVERIFY(action->isEnabled());
    for (QToolButton *button : program->form().findChildren<QToolButton *>()) {
        if (!button->objectName().isEmpty())
            QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    }
}

void TestMainForm::addButtonValidates()
{
    QTest::mouseClick(program->button(QStringLiteral("SpeedButton7")), Qt::LeftButton);
    QCOMPARE(program->sheet().store().QuestionCount(), 2);
    QCOMPARE(program->sheet().Panel1->text(), QStringLiteral("Question 2"));
    QVERIFY(program->button(QStringLiteral("SpeedButton5"))->isEnabled());
    QVERIFY(program->action(QStringLiteral("&Exécuter"))->isEnabled());
}

void TestMainForm::menuHintsInStatusBar_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("hint");
    QTest::newRow("new") << "&Nouveau" << "Nouveau diaporama";
    QTest::newRow("open") << "&Ouvrir..." << "Ouvrir un diaporama";
    QTest::newRow("save") << "&Enregistrer" << "Enregistrer le fichier en cours";
    QTest::newRow("quit") << "&Quitter" << "Quitter l'application";
    QTest::newRow("copy picture") << "Copier &Image" << "Copier l'image dans le presse-papiers";
    QTest::newRow("relative paths") << "&Chemins relatifs" << "Convertif en chemins relatifs";
    QTest::newRow("previous") << "&Précédente           PgUp" << "Ecran précédent";
    QTest::newRow("run") << "&Exécuter" << "Exécuter le diaporama";
    QTest::newRow("about") << "&A propos..." << "Informations sur le logiciel";
    QTest::newRow("help index has none") << "&Index" << "";
}

void TestMainForm::menuHintsInStatusBar()
{
    QFETCH(QString, item);
    QFETCH(QString, hint);
    program->form().ShowHint(QStringLiteral("avant"));
    QAction *action = program->action(item);
    QVERIFY(action);
    action->showStatusText(program->form().menuBar());
    QCOMPARE(program->form().hintPanel()->text(), hint);
}

void TestMainForm::toolButtonHints_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::newRow("new: one text for both") << "SpeedButton1" << "Nouveau";
    QTest::newRow("open: empty long part") << "OpenBtn" << "";
    QTest::newRow("save: empty long part") << "SaveBtn" << "";
    QTest::newRow("run") << "SpeedButton2" << "Exécuter questionnaire";
}

void TestMainForm::toolButtonHints()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    program->form().ShowHint(QStringLiteral("avant"));
    QToolButton *button = program->button(name);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    QCOMPARE(program->form().hintPanel()->text(), hint);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QCOMPARE(program->form().hintPanel()->text(), QString());
}

void TestMainForm::hintParts_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("shortPart");
    QTest::addColumn<QString>("longPart");
    QTest::newRow("no bar") << "Nouveau" << "Nouveau" << "Nouveau";
    QTest::newRow("empty long part") << "Ouvrir|" << "Ouvrir" << "";
    QTest::newRow("both parts") << "Ouvrir|Ouvrir un fichier" << "Ouvrir" << "Ouvrir un fichier";
    QTest::newRow("empty short part") << "|Long" << "" << "Long";
    QTest::newRow("empty") << "" << "" << "";
}

void TestMainForm::hintParts()
{
    QFETCH(QString, hint);
    QFETCH(QString, shortPart);
    QFETCH(QString, longPart);
    QCOMPARE(shortHint(hint), shortPart);
    QCOMPARE(longHint(hint), longPart);
}

void TestMainForm::statusClock()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    program->clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 3, 9)));
    program->form().Timer1Timer();
    QCOMPARE(program->form().clockPanel()->text(), QStringLiteral("    14:03:09"));
    // The real timer refreshes it every second.
    program->clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 3, 10)));
    QTRY_COMPARE_WITH_TIMEOUT(program->form().clockPanel()->text(), QStringLiteral("    14:03:10"), 2500);
}

void TestMainForm::hintPanelFollowsWidth()
{
    program->form().resize(900, 500);
    QCOMPARE(program->form().hintPanel()->width(), 800);
}

void TestMainForm::newWhileModified_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("renewed");
    QTest::newRow("Yes saves, then starts anew") << int(MessageAnswer::Yes) << true << true;
    QTest::newRow("No starts anew without saving") << int(MessageAnswer::No) << false << true;
    QTest::newRow("Cancel stops") << int(MessageAnswer::Cancel) << false << false;
}

void TestMainForm::newWhileModified()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, renewed);
    const QString path = sample(QStringLiteral("histoire.qcm"));
    const QByteArray before = readFile(path);
    open(path);
    program->sheet().Edit1->setFocus();
    program->sheet().Edit1->end(false);
    program->sheet().Edit1->insert(QStringLiteral(" modifié"));
    QVERIFY(program->sheet().store().DocumentModified());

    program->boxes.script(MessageAnswer(answer));
    program->trigger(QStringLiteral("&Nouveau"));
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.shown().first().text, QStringLiteral("Enregistrer changements dans 'histoire.qcm'?"));
    QCOMPARE(program->boxes.shown().first().buttons, MessageButtons::YesNoCancel);
    QCOMPARE(readFile(path) != before, saved);
    if (saved)
        QVERIFY(readFile(path).contains("TITLE Titre 1 modifi\xe9\r\n"));
    QCOMPARE(program->sheet().Edit1->text().isEmpty(), renewed);
    QCOMPARE(program->form().CurrentFileName().isEmpty(), renewed);
    QCOMPARE(program->sheet().store().DocumentModified(), !renewed);
}

void TestMainForm::newAsksWithEmptyNameWhenNeverSaved()
{
    program->trigger(QStringLiteral("&Nouveau"));
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral("Question sans fichier"));
    // Yes with no name asks for one; cancelling that dialog keeps the question on screen.
    program->boxes.script(MessageAnswer::Yes);
    program->dialogs.script(QString());
    program->trigger(QStringLiteral("&Nouveau"));
    QCOMPARE(program->boxes.lastText(), QStringLiteral("Enregistrer changements dans ''?"));
    QCOMPARE(program->dialogs.shown().size(), 1);
    QCOMPARE(program->dialogs.shown().first().kind, ScriptedFileDialogs::Kind::Save);
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("Question sans fichier"));
    QVERIFY(program->sheet().store().DocumentModified());
}

void TestMainForm::newQuestionnaireIsWhiteOnBlack()
{
    open(sample(QStringLiteral("geo.qcm")));
    program->trigger(QStringLiteral("&Nouveau"));
    const QPalette palette = program->sheet().Edit1->palette();
    QCOMPARE(palette.color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(palette.color(QPalette::Text), QColor(Qt::white));
    QCOMPARE(program->sheet().store().QuestionCount(), 1);
    QCOMPARE(program->sheet().Edit1->text(), QString());
    QCOMPARE(program->form().CurrentFileName(), QString());
    QCOMPARE(program->form().windowTitle(), QStringLiteral("Nelo Qcm"));
    // The look marks the new questionnaire only: one opened afterwards shows its title plainly.
    open(sample(QStringLiteral("histoire.qcm")));
    QCOMPARE(program->sheet().Edit1->palette().color(QPalette::Base), program->sheet().Memo1->palette().color(QPalette::Base));
    QCOMPARE(program->sheet().Edit1->palette().color(QPalette::Text), program->sheet().Memo1->palette().color(QPalette::Text));
    QCOMPARE(program->sheet().Edit1->font().pixelSize(), 19);
}

// The new questionnaire's empty question has no block to read: the title is given the focus all
// the same, wherever it was.
void TestMainForm::newGivesTitleTheFocus()
{
    open(sample(QStringLiteral("geo.qcm")));
    program->form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program->form()));
    program->sheet().answerEdits[1]->setFocus();
    program->trigger(QStringLiteral("&Nouveau"));
    QTRY_COMPARE(QApplication::focusWidget(), program->sheet().Edit1);
}

void TestMainForm::openWhileModified_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("opened");
    QTest::newRow("Yes saves, then opens") << int(MessageAnswer::Yes) << true << true;
    QTest::newRow("No opens without saving") << int(MessageAnswer::No) << false << true;
    QTest::newRow("Cancel stops before the dialog") << int(MessageAnswer::Cancel) << false << false;
}

void TestMainForm::openWhileModified()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, opened);
    const QString first = sample(QStringLiteral("premier.qcm"), 3);
    const QString second = sample(QStringLiteral("second.qcm"), 7);
    const QByteArray before = readFile(first);
    open(first);
    QTest::keyClicks(program->sheet().Memo1, QStringLiteral(" et plus"));

    program->boxes.script(MessageAnswer(answer));
    if (opened)
        program->dialogs.script(second);
    program->trigger(QStringLiteral("&Ouvrir..."));
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.lastText(), QStringLiteral("Enregistrer changements dans 'premier.qcm'?"));
    QCOMPARE(program->dialogs.shown().size(), opened ? 2 : 1);
    QCOMPARE(readFile(first) != before, saved);
    QCOMPARE(program->sheet().store().QuestionCount(), opened ? 7 : 3);
    QCOMPARE(program->form().CurrentFileName(), opened ? second : first);
}

void TestMainForm::openTxtLoadsQcm()
{
    const QString qcm = sample(QStringLiteral("quiz.qcm"), 4);
    open(dir->filePath(QStringLiteral("quiz.txt")));
    QCOMPARE(program->boxes.shown().size(), 0);
    QCOMPARE(program->form().CurrentFileName(), qcm);
    QCOMPARE(program->sheet().store().QuestionCount(), 4);
    QCOMPARE(program->sheet().windowTitle(), QStringLiteral("quiz.qcm"));
    QCOMPARE(program->form().windowTitle(), QStringLiteral("Nelo Qcm - [quiz.qcm]"));
    QCOMPARE(program->dialogs.shown().first().filter, QStringLiteral("Questionnaire (*.qcm)"));
    QCOMPARE(program->dialogs.shown().first().fileName, QStringLiteral("*.qcm"));
    QVERIFY(program->action(QStringLiteral("&Exécuter"))->isEnabled());
    // The open dialog leaves the questionnaire's folder current.
    QCOMPARE(QDir::current().canonicalPath(), QDir(dir->path()).canonicalPath());
}

void TestMainForm::openMissingFileKeepsQuestionnaireAndName()
{
    const QString path = sample(QStringLiteral("garde.qcm"), 2);
    open(path);
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral("!"));
    program->boxes.script(MessageAnswer::No);
    open(dir->filePath(QStringLiteral("absent.qcm")));
    QCOMPARE(program->boxes.shown().size(), 2);
    QCOMPARE(program->boxes.lastText(),
             QStringLiteral("Le fichier %1 est introuvable.").arg(dir->filePath(QStringLiteral("absent.qcm"))));
    QCOMPARE(program->boxes.shown().last().icon, MessageIcon::Stop);
    QCOMPARE(program->form().CurrentFileName(), path);
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("Titre 1!"));
    QVERIFY(program->sheet().store().DocumentModified());
}

void TestMainForm::saveNeverSavedAsksName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("cancelled: nothing saved, no name") << "" << "";
    QTest::newRow("with extension") << "nouveau.qcm" << "nouveau.qcm";
    QTest::newRow("without extension") << "nouveau" << "nouveau.qcm";
    QTest::newRow("other extension") << "nouveau.txt" << "nouveau.qcm";
}

void TestMainForm::saveNeverSavedAsksName()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    program->trigger(QStringLiteral("&Nouveau"));
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral("Combien font 2 + 2 ?"));
    program->dialogs.script(typed.isEmpty() ? QString() : dir->filePath(typed));
    QTest::keyClick(program->sheet().Edit1, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(program->dialogs.shown().size(), 1);
    QCOMPARE(program->dialogs.shown().first().filter, QStringLiteral("Questionnaires (*.qcm)"));
    if (written.isEmpty()) {
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
        QCOMPARE(program->form().CurrentFileName(), QString());
        QVERIFY(program->sheet().store().DocumentModified());
        return;
    }
    const QByteArray expected = "<BLOC0000>\r\nTITLE Combien font 2 + 2 ?\r\nPICTURE \r\nREP1 \r\nREP2 \r\nREP3 \r\n"
                                "REP4 \r\nREP5 \r\nREPONSE 1\r\n</BLOC0000>\r\n";
    QCOMPARE(readFile(dir->filePath(written)), expected);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{written});
    QCOMPARE(program->form().CurrentFileName(), dir->filePath(written));
    QVERIFY(!program->sheet().store().DocumentModified());
}

void TestMainForm::saveAsExistingFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("overwritten");
    QTest::newRow("same name, OK overwrites") << "existe.qcm" << int(MessageAnswer::Ok) << true;
    QTest::newRow("same name, Cancel keeps") << "existe.qcm" << int(MessageAnswer::Cancel) << false;
    QTest::newRow("typed without extension, Cancel keeps") << "existe" << int(MessageAnswer::Cancel) << false;
    QTest::newRow("typed without extension, OK overwrites") << "existe" << int(MessageAnswer::Ok) << true;
    QTest::newRow("other extension, Cancel keeps") << "existe.txt" << int(MessageAnswer::Cancel) << false;
}

void TestMainForm::saveAsExistingFile()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, overwritten);
    const QString existing = writeFile(dir->filePath(QStringLiteral("existe.qcm")), questionnaireBytes(2));
    program->trigger(QStringLiteral("&Nouveau"));
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral("Autre"));

    program->dialogs.script(dir->filePath(typed));
    program->boxes.script(MessageAnswer(answer));
    program->trigger(QStringLiteral("Enregistrer &sous..."));
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.lastText(), QStringLiteral("Ce fichier existe déjà"));
    QCOMPARE(program->boxes.shown().first().icon, MessageIcon::Warning);
    QCOMPARE(program->boxes.shown().first().buttons, MessageButtons::OkCancel);
    QCOMPARE(readFile(existing).contains("TITLE Autre"), overwritten);
    QCOMPARE(readFile(existing) == questionnaireBytes(2), !overwritten);
    QCOMPARE(program->form().CurrentFileName().isEmpty(), !overwritten);
    QCOMPARE(program->sheet().store().DocumentModified(), !overwritten);
}

void TestMainForm::frameNamesTheFileAfterSaveAs()
{
    open(sample(QStringLiteral("capitales.qcm"), 3));
    QCOMPARE(program->form().windowTitle(), QStringLiteral("Nelo Qcm - [capitales.qcm]"));
    program->dialogs.script(dir->filePath(QStringLiteral("copie")));
    program->trigger(QStringLiteral("Enregistrer &sous..."));
    QCOMPARE(program->form().windowTitle(), QStringLiteral("Nelo Qcm - [copie.qcm]"));
    QCOMPARE(program->sheet().windowTitle(), QStringLiteral("copie.qcm"));
    QVERIFY(QFile::exists(dir->filePath(QStringLiteral("copie.qcm"))));
}

void TestMainForm::failedSaveIsReportedAndKeepsChanges()
{
    const QString path = sample(QStringLiteral("protege.qcm"), 2);
    open(path);
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral(" bis"));
    // A folder where the file should be: the save cannot replace it.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("protege.qcm")));
    program->trigger(QStringLiteral("&Enregistrer"));
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.shown().first().icon, MessageIcon::Stop);
    QVERIFY(program->sheet().store().DocumentModified());
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("Titre 1 bis"));
}

void TestMainForm::unencodableCharacterIsReportedOnSaving()
{
    const QString path = sample(QStringLiteral("accents.qcm"), 2);
    const QByteArray before = readFile(path);
    open(path);
    // "ć" has no place in the questionnaire's code page: saving says so instead of writing "?".
    program->sheet().Edit1->insert(QStringLiteral(" Kraków, Łódź, Kraj ć"));
    QTest::keyClick(program->sheet().Edit1, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.shown().first().icon, MessageIcon::Stop);
    QVERIFY2(program->boxes.lastText().contains(QStringLiteral("question 1")), qPrintable(program->boxes.lastText()));
    QCOMPARE(readFile(path), before);
    QVERIFY(program->sheet().store().DocumentModified());
}

void TestMainForm::quit_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveDialog"); // "" no dialog, "cancel", or a file name
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("named, Yes saves and quits") << true << int(MessageAnswer::Yes) << "" << true << true;
    QTest::newRow("named, No quits") << true << int(MessageAnswer::No) << "" << true << false;
    QTest::newRow("named, Cancel stays") << true << int(MessageAnswer::Cancel) << "" << false << false;
    QTest::newRow("unnamed, Yes asks a name, saves, quits") << false << int(MessageAnswer::Yes) << "fin.qcm" << true << true;
    QTest::newRow("unnamed, Yes then dialog cancelled stays") << false << int(MessageAnswer::Yes) << "cancel" << false
                                                              << false;
}

void TestMainForm::quit()
{
    QFETCH(bool, named);
    QFETCH(int, answer);
    QFETCH(QString, saveDialog);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    QString path;
    if (named) {
        path = sample(QStringLiteral("depart.qcm"), 3);
        open(path);
    } else {
        program->trigger(QStringLiteral("&Nouveau"));
        path = dir->filePath(QStringLiteral("fin.qcm"));
    }
    const QByteArray before = readFile(path);
    program->sheet().answerEdits[1]->end(false);
    program->sheet().answerEdits[1]->insert(QStringLiteral("Réponse neuve"));

    program->boxes.script(MessageAnswer(answer));
    if (saveDialog == QLatin1String("cancel"))
        program->dialogs.script(QString());
    else if (!saveDialog.isEmpty())
        program->dialogs.script(dir->filePath(saveDialog));
    QTest::keyClick(program->sheet().Edit1, Qt::Key_X, Qt::AltModifier);

    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.lastText(), QStringLiteral("Enregistrer changements dans %1 ?")
                                            .arg(named ? QStringLiteral("depart.qcm") : QString()));
    QCOMPARE(program->boxes.shown().first().icon, MessageIcon::Warning);
    QCOMPARE(program->form().isVisible(), !closed);
    QCOMPARE(readFile(path) != before, saved);
    if (saved)
        QVERIFY(readFile(path).contains("REP2 " + QByteArray(named ? "1-2" : "") + "R\xe9ponse neuve\r\n"));
}

void TestMainForm::quitAfterOnlyBrowsingAsksNothing()
{
    open(sample(QStringLiteral("parcours.qcm"), 6));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(program->sheet().Memo1, Qt::Key_PageDown);
    program->trigger(QStringLiteral("&Dernière"));
    program->trigger(QStringLiteral("P&remière"));
    QVERIFY(program->form().close());
    QCOMPARE(program->boxes.shown().size(), 0);
}

// Alt+X, "Oui", a name: the file is written under it a second time, which drops the blank line
// the first write left on top when it moved question 1 to the end.
void TestMainForm::quitSavingANewQuestionnaireLeavesNoBlankLineOnTop()
{
    program->trigger(QStringLiteral("&Nouveau"));
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral("un"));
    program->trigger(QStringLiteral("&Ajouter"));
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral("deux"));
    program->trigger(QStringLiteral("P&remière"));
    program->boxes.script(MessageAnswer::Yes);
    program->dialogs.script(dir->filePath(QStringLiteral("nouveau.qcm")));
    QTest::keyClick(program->sheet().Edit1, Qt::Key_X, Qt::AltModifier);

    QVERIFY(!program->form().isVisible());
    const QByteArray saved = readFile(dir->filePath(QStringLiteral("nouveau.qcm")));
    QVERIFY2(saved.startsWith("<BLOC0001>\r\nTITLE deux\r\n"), saved.left(40).constData());
    QVERIFY(saved.contains("<BLOC0000>\r\nTITLE un\r\n"));
}

void TestMainForm::quitRestoresStartFolder()
{
    const QString start = QDir::currentPath();
    QCOMPARE(program->form().StartFolder(), start);
    QCOMPARE(program->form().helpFile(), QDir(start).filePath(QStringLiteral("Zezavid.hlp")));
    open(sample(QStringLiteral("ailleurs.qcm")));
    QCOMPARE(QDir::current().canonicalPath(), QDir(dir->path()).canonicalPath());
    QVERIFY(program->form().close());
    QCOMPARE(QDir::currentPath(), start);
}

void TestMainForm::editsThatAskOnQuitting_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("only the free text") << "free text";
    QTest::newRow("only choosing a picture") << "picture";
    QTest::newRow("only removing the picture") << "remove picture";
    QTest::newRow("only the right answer") << "right answer";
}

void TestMainForm::editsThatAskOnQuitting()
{
    QFETCH(QString, edit);
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString picture = dir->filePath(QStringLiteral("rouge.bmp"));
    QVERIFY(image.save(picture, "BMP"));
    QByteArray bytes = questionnaireBytes(3);
    bytes.replace("PICTURE \r\n", "PICTURE " + picture.toLocal8Bit() + "\r\n");
    const QString path = writeFile(dir->filePath(QStringLiteral("sondage.qcm")), bytes);
    open(path);
    QVERIFY(!program->sheet().store().DocumentModified());

    if (edit == QLatin1String("free text")) {
        QTest::keyClicks(program->sheet().Memo1, QStringLiteral("Note"));
    } else if (edit == QLatin1String("picture")) {
        program->pictureDialogs.script(picture);
        QTest::mouseClick(program->sheet().Button1, Qt::LeftButton);
    } else if (edit == QLatin1String("remove picture")) {
        program->trigger(QStringLiteral("&Suprimer image"));
    } else {
        program->sheet().SpinEdit1->setFocus();
        QTest::keyClick(program->sheet().SpinEdit1, Qt::Key_Up);
    }
    program->boxes.script(MessageAnswer::Cancel);
    QVERIFY(!program->form().close());
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->boxes.lastText(), QStringLiteral("Enregistrer changements dans sondage.qcm ?"));
}

void TestMainForm::shortcutsCopyAndPasteTheQuestionFromAField()
{
    open(sample(QStringLiteral("copie.qcm"), 6));
    program->trigger(QStringLiteral("&Suivante                 PgDn  "));
    QCOMPARE(program->sheet().store().CurrentQuestion(), 1);
    program->sheet().Edit1->setFocus();
    program->sheet().Edit1->selectAll();
    QTest::keyClick(program->sheet().Edit1, Qt::Key_C, Qt::ControlModifier);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(program->sheet().answerEdits[0], Qt::Key_PageDown);
    QCOMPARE(program->sheet().store().CurrentQuestion(), 4);
    program->sheet().answerEdits[2]->setFocus();
    QTest::keyClick(program->sheet().answerEdits[2], Qt::Key_V, Qt::ControlModifier);
    // The whole question was pasted, not the clipboard's text into the field.
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("Titre 2"));
    QCOMPARE(program->sheet().answerEdits[2]->text(), QStringLiteral("2-3"));
    QCOMPARE(program->sheet().Memo1->toPlainText(), QStringLiteral("Texte 5"));
    QCOMPARE(program->sheet().Panel1->text(), QStringLiteral("Question 5"));
}

void TestMainForm::pageMenuForwardsToSheet()
{
    open(sample(QStringLiteral("pages.qcm"), 4));
    program->trigger(QStringLiteral("&Dernière"));
    QCOMPARE(program->sheet().store().CurrentQuestion(), 3);
    QTest::mouseClick(program->button(QStringLiteral("SpeedButton4")), Qt::LeftButton);
    QCOMPARE(program->sheet().store().CurrentQuestion(), 2);
    QTest::mouseClick(program->button(QStringLiteral("SpeedButton8")), Qt::LeftButton);
    QCOMPARE(program->sheet().store().QuestionCount(), 3);
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("Titre 4"));
    QTest::mouseClick(program->button(QStringLiteral("SpeedButton3")), Qt::LeftButton);
    QCOMPARE(program->sheet().Panel1->text(), QStringLiteral("Question 1"));
    program->trigger(QStringLiteral("&Ajouter"));
    QCOMPARE(program->sheet().Panel1->text(), QStringLiteral("Question 4"));
}

void TestMainForm::helpCommands()
{
    HelpWindow *help = program->form().helpWindow();
    QVERIFY(!help->isVisible());
    program->trigger(QStringLiteral("&Index"));
    QVERIFY(help->isVisible());
    QCOMPARE(help->currentPage(), QStringLiteral("contents.html"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Sommaire")));
    program->trigger(QStringLiteral("&Utiliser l'aide"));
    QCOMPARE(help->currentPage(), QStringLiteral("usinghelp.html"));
    help->searchBox()->setText(QStringLiteral("xyz"));
    program->trigger(QStringLiteral("&Rechercher"));
    QCOMPARE(help->searchBox()->text(), QString());
    QVERIFY(help->keywordList()->count() > 10);
    QTest::keyClicks(help->searchBox(), QStringLiteral("ecr"));
    QCOMPARE(help->keywordList()->count(), 1);
    QTest::keyClick(help->searchBox(), Qt::Key_Return);
    QCOMPARE(help->currentPage(), QStringLiteral("writing.html"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Écrire un questionnaire")));
}

void TestMainForm::aboutBoxFromMenu()
{
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        seen = box && box->windowTitle() == QStringLiteral("A propos");
        if (box)
            QTest::keyClick(box, Qt::Key_Return);
    });
    program->trigger(QStringLiteral("&A propos..."));
    QVERIFY(seen);
    QVERIFY(!program->workspace.aboutBox.isVisible());
}

void TestMainForm::accessoriesFromMenu_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::newRow("calendar") << "&Calendrier" << "Calendrier";
    QTest::newRow("clock") << "&Horloge" << "Horloge";
}

void TestMainForm::accessoriesFromMenu()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QString opened;
    QTimer::singleShot(0, this, [&] {
        if (auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            opened = window->windowTitle();
            window->close();
        }
    });
    program->trigger(item);
    QCOMPARE(opened, caption);
    QVERIFY(!program->workspace.calendar.isVisible());
    QVERIFY(!program->workspace.clock.isVisible());
}

void TestMainForm::calculatorFromMenu()
{
    // Opened twice: the second opening starts from a cleared calculator.
    QStringList displays;
    const auto useCalculator = [&] {
        auto *pocket = qobject_cast<TPocket *>(QApplication::activeModalWidget());
        if (!pocket)
            return;
        displays << pocket->Label1->text();
        for (char key : {'6', '*', '7', '='})
            QTest::keyClick(pocket->focusWidget(), key);
        displays << pocket->Label1->text();
        QTest::keyClick(pocket->focusWidget(), Qt::Key_Escape);
    };
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, this, useCalculator);
        program->trigger(QStringLiteral("C&alculatrice"));
    }
    QCOMPARE(displays, (QStringList{"", "42", "", "42"}));
    QVERIFY(!program->workspace.calculator.isVisible());
    QCOMPARE(program->workspace.calculator.windowTitle(), QStringLiteral("Calculatrice"));
    QVERIFY(program->boxes.shown().isEmpty());
}

void TestMainForm::droppedQuestionnaireOpens()
{
    const QString path = sample(QStringLiteral("glisse.qcm"), 8);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    // Dropped on the title box: the file opens, the box does not receive its name as text.
    QWidget *target = program->sheet().Edit1;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCOMPARE(program->sheet().store().QuestionCount(), 8);
    QCOMPARE(program->form().CurrentFileName(), path);
    QCOMPARE(program->sheet().Edit1->text(), QStringLiteral("Titre 1"));
    QVERIFY(program->action(QStringLiteral("&Exécuter"))->isEnabled());

    // Other files are not taken.
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(dir->filePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&program->form(), &other);
    QVERIFY(!other.isAccepted());
}

void TestMainForm::commandLineQuestionnaireOpens()
{
    const QString path = sample(QStringLiteral("ligne.qcm"), 3);
    QDir::setCurrent(dir->path());
    program->form().openNamedQuestionnaire(QStringLiteral("ligne.qcm"));
    QCOMPARE(program->form().CurrentFileName(), path);
    QCOMPARE(program->sheet().store().QuestionCount(), 3);
    QVERIFY(program->button(QStringLiteral("SpeedButton5"))->isEnabled());
    program->form().openNamedQuestionnaire(dir->filePath(QStringLiteral("absent.qcm")));
    QCOMPARE(program->boxes.shown().size(), 1);
    QCOMPARE(program->form().CurrentFileName(), path);
}

void TestMainForm::printQuestionnaireWithCtrlP_data()
{
    QTest::addColumn<MessageAnswer>("answerKey");
    QTest::newRow("with the answer key") << MessageAnswer::Yes;
    QTest::newRow("questions only") << MessageAnswer::No;
    QTest::newRow("cancelled") << MessageAnswer::Cancel;
}

void TestMainForm::printQuestionnaireWithCtrlP()
{
    QFETCH(MessageAnswer, answerKey);
    if (!PdfReader::available())
        QSKIP("poppler-utils is not installed");
    open(sample(QStringLiteral("papier.qcm"), 3));
    // A title being typed is printed as the sheet shows it.
    QTest::keyClicks(program->sheet().Edit1, QStringLiteral(" revu"));
    const QString pdf = dir->filePath(QStringLiteral("papier.pdf"));
    program->boxes.script(answerKey);
    program->printing.script(pdf);
    QTest::keyClick(program->sheet().Edit1, Qt::Key_P, Qt::ControlModifier);
    if (answerKey == MessageAnswer::Cancel) {
        QCOMPARE(program->printing.printed(), 0);
        return;
    }
    QCOMPARE(program->printing.printed(), 1);
    const QString text = PdfReader::text(pdf);
    for (const QString &expected : {QString("Nom :"), QString("1. Titre 1 revu"), QString("3. Titre 3"),
                                    QString("5) 3-5"), QString("Page 1 / ")})
        QVERIFY2(text.contains(expected), qPrintable(text));
    // The answer key has a last page of its own.
    const bool withKey = answerKey == MessageAnswer::Yes;
    QCOMPARE(text.contains(QStringLiteral("Corrigé")), withKey);
    QCOMPARE(PdfReader::pageCount(pdf), withKey ? 2 : 1);
}

void TestMainForm::statisticsWithoutMatchingResults_data()
{
    QTest::addColumn<QString>("questionnaire");
    QTest::addColumn<bool>("keptForOtherQuestions");
    QTest::addColumn<QString>("message");
    QTest::newRow("never saved") << QString() << false << "pas encore de fichier";
    QTest::newRow("no results kept") << "classe.qcm" << false << "Aucun résultat enregistré";
    // The titles changed since the runs were kept: their columns would be other questions.
    QTest::newRow("kept for other questions") << "classe.qcm" << true << "Aucun résultat enregistré";
}

void TestMainForm::statisticsWithoutMatchingResults()
{
    QFETCH(QString, questionnaire);
    QFETCH(bool, keptForOtherQuestions);
    QFETCH(QString, message);
    if (questionnaire.isEmpty())
        program->trigger(QStringLiteral("&Nouveau"));
    else
        open(sample(questionnaire, 3));
    if (keptForOtherQuestions) {
        keepRun(dir->filePath(QStringLiteral("classe-resultats.csv")), QStringLiteral("Léa"), {1, 1, 1});
        program->sheet().Edit1->setText(QStringLiteral("Autre titre"));
    }
    program->boxes.script(MessageAnswer::No); // no other results file
    program->trigger(QStringLiteral("&Statistiques des résultats..."));
    QVERIFY2(program->boxes.lastText().contains(message), qPrintable(program->boxes.lastText()));
}

// Results kept with "Autre fichier..." are found through the open dialog, provided their
// columns are the questionnaire's questions.
void TestMainForm::statisticsOfAFileChosenElsewhere_data()
{
    QTest::addColumn<QString>("keptFor");
    QTest::addColumn<QString>("message");
    QTest::newRow("the same questions") << "classe.qcm" << QString();
    QTest::newRow("other questions") << "autre.qcm" << "ne sont pas celles du questionnaire ouvert";
    QTest::newRow("not a results file") << QString() << "n'est pas un fichier de résultats";
}

void TestMainForm::statisticsOfAFileChosenElsewhere()
{
    QFETCH(QString, keptFor);
    QFETCH(QString, message);
    // Another folder: the open dialog makes it current, and the command must put it back.
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("ailleurs")));
    const QString elsewhere = dir->filePath(QStringLiteral("ailleurs/resultats-6b.csv"));
    if (keptFor.isEmpty()) {
        writeFile(elsewhere, "Prénom;Note\r\nLéa;12\r\n");
    } else {
        open(sample(keptFor, keptFor == QStringLiteral("autre.qcm") ? 4 : 3));
        keepRun(elsewhere, QStringLiteral("Léa"), {1, 1, 2});
    }
    open(sample(QStringLiteral("classe.qcm"), 3));
    const QString folder = QDir::currentPath();
    program->boxes.script(MessageAnswer::Yes);
    program->dialogs.script(elsewhere);
    int pupils = -1;
    QTimer::singleShot(0, this, [&] {
        if (auto *window = qobject_cast<StatisticsWindow *>(QApplication::activeModalWidget())) {
            pupils = window->PupilGrid->rowCount();
            window->reject();
        }
    });
    program->trigger(QStringLiteral("&Statistiques des résultats..."));
    QCOMPARE(pupils, message.isEmpty() ? 1 : -1);
    if (!message.isEmpty())
        QVERIFY2(program->boxes.lastText().contains(message), qPrintable(program->boxes.lastText()));
    // The questionnaire's pictures are still looked for beside it.
    QCOMPARE(QDir::currentPath(), folder);
}

void TestMainForm::statisticsOfKeptResults()
{
    open(sample(QStringLiteral("classe.qcm"), 3)); // every right answer is 1
    const QString results = dir->filePath(QStringLiteral("classe-resultats.csv"));
    keepRun(results, QStringLiteral("Léa"), {1, 1, 2});
    keepRun(results, QString(), {1, 3, 0});
    QStringList questionRows;
    QStringList pupilRows;
    const QString pdf = dir->filePath(QStringLiteral("statistiques.pdf"));
    program->printing.script(pdf);
    QTimer::singleShot(0, this, [&] {
        auto *window = qobject_cast<StatisticsWindow *>(QApplication::activeModalWidget());
        if (!window)
            return;
        const auto rows = [](QTableWidget *grid) {
            QStringList lines;
            for (int row = 0; row < grid->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < grid->columnCount(); ++column)
                    cells << grid->item(row, column)->text();
                lines << cells.join(QLatin1Char('|'));
            }
            return lines;
        };
        questionRows = rows(window->QuestionGrid);
        pupilRows = rows(window->PupilGrid);
        window->PrintButton->click();
        window->reject();
    });
    program->trigger(QStringLiteral("&Statistiques des résultats..."));
    // Question, answered, right, share right, facility, discrimination, "à revoir", then the
    // share that chose answers 1 to 5. Two runs that score alike on the other questions tell
    // nothing of a question's discrimination; nobody chose the third's right answer.
    QCOMPARE(questionRows, (QStringList{"1. Titre 1|2|2|100 %|100 %|-||100 %|0 %|0 %|0 %|0 %",
                                        "2. Titre 2|2|1|50 %|50 %|-||50 %|0 %|50 %|0 %|0 %",
                                        "3. Titre 3|1|0|0 %|0 %|-|à revoir|0 %|50 %|0 %|0 %|0 %"}));
    QCOMPARE(pupilRows, (QStringList{"Léa|07/12/2026 09:05:07|essai|terminée|2 / 3|13,5 / 20",
                                     "(sans nom)|07/12/2026 09:05:07|essai|terminée|1 / 3|6,5 / 20"}));
    QCOMPARE(program->printing.printed(), 1);
    if (!PdfReader::available())
        QSKIP("poppler-utils is not installed");
    const QString text = PdfReader::text(pdf);
    for (const QString &expected : {QString("Statistiques des résultats"), QString("classe-resultats.csv : 2 passations"),
                                    QString("2. Titre 2"), QString("50 %"), QString("Scores par élève"),
                                    QString("(sans nom)"), QString("Léa"), QString("moyenne 10 / 20"),
                                    QString("Questions à revoir"), QString("13,5 / 20")})
        QVERIFY2(text.contains(expected), qPrintable(text));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
