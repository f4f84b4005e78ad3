#include "app/workspace.h"
#include "editor/planche.h"
#include "pictures/imageframe.h"
#include "pictures/jpegpicture.h"
#include "runner/resultstable.h"
#include "runnertestdata.h"
#include "scriptedservices.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QScrollArea>
#include <QtTest>

#include <functional>
#include <memory>

using RunnerTestData::block;
using RunnerTestData::questionnaire;

namespace {

const QString EndMessage = QStringLiteral("Les questionnaire est fini. C'était la dernière question");

// The grid as shown: rows 0 to the total's, columns 0 to 4.
using Grid = QList<QStringList>;

QStringList labelTexts(const TQcm &runner)
{
    QStringList texts;
    for (const QLabel *label : runner.answerLabels)
        texts << label->text();
    return texts;
}

} // namespace

// The program's windows with scripted services, as start-up makes them.
struct Program : ScriptedServices
{
    Workspace workspace{services};

    Program() { registerJpegFormats(pictures, 24); }

    TQcm &runner() { return workspace.runner; }
    TResultat &results() { return workspace.results; }

    // A run shown without its modal loop, so the test drives it.
    void start(const QStringList &document)
    {
        runner().Init(document);
        runner().show();
    }

    // Presses "Résultat" and reads every cell while the results window is up, then closes it.
    Grid pressResult()
    {
        Grid grid;
        QTimer reader;
        reader.setSingleShot(true);
        QObject::connect(&reader, &QTimer::timeout, &reader, [&] {
            const int rows = results().table().rowCount() + 1;
            for (int row = 0; row < rows; ++row) {
                QStringList cells;
                for (int column = 0; column <= 4; ++column)
                    cells << results().cellText(column, row);
                grid << cells;
            }
            results().accept();
        });
        reader.start(0);
        QTest::mouseClick(runner().Button2, Qt::LeftButton);
        return grid;
    }

    void press(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, key, modifiers);
    }
};

class TestQcm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void windowsAsDesigned();
    void everyControlWithinReach_data();
    void everyControlWithinReach();
    void executeCommand_data();
    void executeCommand();
    void pageKeys_data();
    void pageKeys();
    void ends_data();
    void ends();
    void questionShown_data();
    void questionShown();
    void picture_data();
    void picture();
    void typing_data();
    void typing();
    void closing_data();
    void closing();
    void results_data();
    void results();
    void rightAnswerChangedToWrong();
    void shorterSecondRun();
    void resultsCopiedAsText();

private:
    std::unique_ptr<Program> program;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestQcm::init()
{
    dir = std::make_unique<QTemporaryDir>();
    program = std::make_unique<Program>();
}

void TestQcm::cleanup()
{
    QCOMPARE(program->boxes.unexpected(), 0);
    program.reset();
    dir.reset();
}

void TestQcm::windowsAsDesigned()
{
    TQcm &runner = program->runner();
    program->start(questionnaire(3));
    QCOMPARE(runner.windowTitle(), QStringLiteral("Questionnaire"));
    QCOMPARE(runner.Button2->text(), QStringLiteral("Résultat"));
    QCOMPARE(runner.Button1->text(), QStringLiteral("Fermer"));
    QVERIFY(runner.Edit1->isReadOnly());
    QVERIFY(runner.Memo1->isReadOnly());
    QCOMPARE(runner.Panel3->text(), QStringLiteral("Question 1  "));
    QCOMPARE(runner.focusWidget(), runner.SpinEdit1);
    // "Réponse" is measured when the runner shows: its whole text, level with the answer box.
    QCOMPARE(runner.Label6->size(), runner.Label6->sizeHint());
    QVERIFY(qAbs(runner.Label6->geometry().center().y() - runner.SpinEdit1->geometry().center().y()) <= 1);
    // Results window, filled once: fixed size, widths of each showing, nothing editable.
    Grid grid = program->pressResult();
    TResultat &results = program->results();
    QCOMPARE(results.windowTitle(), QStringLiteral("Resultat"));
    QCOMPARE(results.size(), QSize(536, 343));
    QCOMPARE(results.StringGrid1->verticalHeader()->width(), 64);
    QCOMPARE(results.StringGrid1->columnWidth(0), 290);
    QCOMPARE(results.StringGrid1->columnWidth(1), 70);
    QCOMPARE(results.StringGrid1->columnWidth(2), 70);
    QCOMPARE(results.StringGrid1->columnWidth(3), 10);
    QCOMPARE(results.StringGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid.size(), 6);
}

void TestQcm::everyControlWithinReach_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::newRow("small screen") << QSize(640, 480);
    QTest::newRow("just narrower than the buttons' design places") << QSize(760, 500);
    QTest::newRow("design size") << QSize(TQcm::DesignWidth, TQcm::DesignHeight);
    QTest::newRow("maximised on 1366x768") << QSize(1366, 768);
    QTest::newRow("made as small as it goes") << QSize(100, 100);
}

void TestQcm::everyControlWithinReach()
{
    QFETCH(QSize, windowSize);
    TQcm &runner = program->runner();
    program->start(questionnaire(2));
    runner.resize(windowSize);
    const QRect window = runner.rect();

    // The bar does not scroll: its buttons stand whole inside the window, none over another
    // (the flat navigation buttons share their one-pixel edges).
    QList<QRect> taken;
    for (const QWidget *button : runner.Panel1->findChildren<QWidget *>()) {
        if (!button->isVisible())
            continue;
        const QRect place(button->mapTo(&runner, QPoint(0, 0)), button->size());
        QVERIFY2(window.contains(place), qPrintable(button->objectName()));
        for (const QRect &other : std::as_const(taken))
            QVERIFY2(other.intersected(place).width() <= 1, qPrintable(button->objectName()));
        taken << place;
    }
    QCOMPARE(taken.size(), 6);

    // The page scrolls: the answer box, once focused, comes into sight whole, arrows included.
    runner.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&runner));
    runner.Button1->setFocus();
    runner.SpinEdit1->setFocus();
    QApplication::processEvents();
    const QScrollArea *area = runner.findChild<QScrollArea *>();
    const QRect box(runner.SpinEdit1->mapTo(area->viewport(), QPoint(0, 0)), runner.SpinEdit1->size());
    if (area->viewport()->width() >= box.width() && area->viewport()->height() >= box.height())
        QVERIFY(area->viewport()->rect().contains(box));
}

void TestQcm::executeCommand_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("runs");

    QTest::newRow("no question") << 0 << false;
    QTest::newRow("one question") << 1 << false;
    QTest::newRow("two questions") << 2 << true;
}

void TestQcm::executeCommand()
{
    QFETCH(int, questions);
    QFETCH(bool, runs);

    TPlanche &sheet = *program->workspace.sheet;
    sheet.store().ChargeLignes(questionnaire(questions), QStringLiteral("quiz.qcm"));
    // An edit not written back is not part of the run.
    sheet.Edit1->setText(QStringLiteral("Titre changé"));

    bool shown = false;
    bool modal = false;
    QString title;
    QTimer watcher;
    watcher.setSingleShot(true);
    connect(&watcher, &QTimer::timeout, this, [&] {
        shown = program->runner().isVisible();
        modal = program->runner().isModal();
        title = program->runner().Edit1->text();
        if (shown)
            program->runner().Button1->click();
    });
    watcher.start(0);
    sheet.Quest();
    if (!runs) {
        QTest::qWait(20);
        QVERIFY(!program->runner().isVisible());
        return;
    }
    QVERIFY(shown);
    QVERIFY(modal);
    QCOMPARE(title, QStringLiteral("Titre 1"));
    QVERIFY(!program->runner().isVisible());
    QCOMPARE(program->runner().session().RunQuestionCount(), questions);
}

void TestQcm::pageKeys_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("label");

    QTest::newRow("PgDn in the answer box") << "SpinEdit1" << int(Qt::Key_PageDown) << 0 << "Question 3  ";
    QTest::newRow("keypad PgDn") << "SpinEdit1" << int(Qt::Key_PageDown) << int(Qt::KeypadModifier) << "Question 3  ";
    QTest::newRow("Shift+PgUp") << "SpinEdit1" << int(Qt::Key_PageUp) << int(Qt::ShiftModifier) << "Question 1  ";
    QTest::newRow("Ctrl+PgDn") << "SpinEdit1" << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << "Question 3  ";
    QTest::newRow("PgDn on Fermer") << "Button1" << int(Qt::Key_PageDown) << 0 << "Question 3  ";
    QTest::newRow("PgUp on Résultat") << "Button2" << int(Qt::Key_PageUp) << 0 << "Question 1  ";
    QTest::newRow("PgDn in the free text") << "Memo1" << int(Qt::Key_PageDown) << 0 << "Question 3  ";
}

void TestQcm::pageKeys()
{
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, label);

    TQcm &runner = program->runner();
    program->start(questionnaire(4));
    runner.Suivant();
    QCOMPARE(runner.Panel3->text(), QStringLiteral("Question 2  "));
    runner.SpinEdit1->setValue(3);
    auto *widget = runner.findChild<QWidget *>(target);
    QVERIFY(widget);
    program->press(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(runner.Panel3->text(), label);
    // The key changed the question and did not step the answer box.
    QCOMPARE(runner.session().Answers().at(1), 3);
    QCOMPARE(runner.SpinEdit1->value(), 0);
}

void TestQcm::ends_data()
{
    QTest::addColumn<bool>("fromLast");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("label");

    QTest::newRow("PgDn on the last question") << true << int(Qt::Key_PageDown) << QStringList{EndMessage}
                                               << "Question 3  ";
    QTest::newRow("PgUp on the first question") << false << int(Qt::Key_PageUp) << QStringList() << "Question 1  ";
}

void TestQcm::ends()
{
    QFETCH(bool, fromLast);
    QFETCH(int, key);
    QFETCH(QStringList, messages);
    QFETCH(QString, label);

    TQcm &runner = program->runner();
    program->start(questionnaire(3));
    if (fromLast)
        QTest::mouseClick(runner.SpeedButton3, Qt::LeftButton);
    runner.SpinEdit1->setValue(4);
    program->press(runner.SpinEdit1, Qt::Key(key));
    QStringList shown;
    for (const auto &box : program->boxes.shown())
        shown << box.text;
    QCOMPARE(shown, messages);
    QCOMPARE(runner.Panel3->text(), label);
    // Shown again with the answer just given.
    QCOMPARE(runner.SpinEdit1->value(), 4);
}

void TestQcm::questionShown_data()
{
    QTest::addColumn<QStringList>("document");
    QTest::addColumn<int>("moves");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("freeTextLines");

    QStringList gaps = block(0, QStringLiteral("Trous"), {QStringLiteral("a"), QStringLiteral("b"), QString(), QStringLiteral("d")},
                             QStringLiteral("2"));
    gaps << questionnaire(2).mid(12);
    QTest::newRow("answers 1, 2 and 4") << gaps << 0 << "Question 1  " << "Trous"
                                        << QStringList{"1) a", "2) b", "", "4) d", ""} << 3 << 0;

    QStringList fifteen;
    for (int i = 1; i <= 15; ++i)
        fifteen << QStringLiteral("ligne %1").arg(i);
    QStringList longText = block(0, QStringLiteral("<b>Long</b>"), {QStringLiteral("<i>a</i>")}, QStringLiteral("1"), fifteen);
    longText << questionnaire(2).mid(12);
    QTest::newRow("15 free-text lines, markup as text")
        << longText << 0 << "Question 1  " << "<b>Long</b>" << QStringList{"1) <i>a</i>", "", "", "", ""} << 1 << 12;

    QTest::newRow("tenth question") << questionnaire(12) << 9 << "Question 10  " << "Titre 10"
                                    << QStringList{"1) 10-1", "2) 10-2", "3) 10-3", "4) 10-4", "5) 10-5"} << 5 << 1;

    QStringList hole = questionnaire(1);
    hole << QStringLiteral("<BLOC-trou>");
    QTest::newRow("missing block") << hole << 1 << "Question 2  " << "" << QStringList(5, QString()) << 0 << 0;
}

void TestQcm::questionShown()
{
    QFETCH(QStringList, document);
    QFETCH(int, moves);
    QFETCH(QString, label);
    QFETCH(QString, title);
    QFETCH(QStringList, labels);
    QFETCH(int, maximum);
    QFETCH(int, freeTextLines);

    TQcm &runner = program->runner();
    program->start(document);
    for (int i = 0; i < moves; ++i)
        program->press(runner.SpinEdit1, Qt::Key_PageDown);
    QCOMPARE(runner.Panel3->text(), label);
    QCOMPARE(runner.Edit1->text(), title);
    QCOMPARE(labelTexts(runner), labels);
    for (const QLabel *answer : runner.answerLabels)
        QCOMPARE(answer->textFormat(), Qt::PlainText);
    QCOMPARE(runner.SpinEdit1->minimum(), 0);
    QCOMPARE(runner.SpinEdit1->maximum(), maximum);
    const QString text = runner.Memo1->toPlainText();
    QCOMPARE(text.isEmpty() ? 0 : int(text.count(QLatin1Char('\n'))) + 1, freeTextLines);
}

void TestQcm::picture_data()
{
    QTest::addColumn<QString>("picture"); // a file name in the test folder
    QTest::addColumn<QString>("source");  // "drawn": a 400 by 300 bitmap; "sample": from the test data
    QTest::addColumn<bool>("shown");

    QTest::newRow("picture") << "image.bmp" << "drawn" << true;
    QTest::newRow("missing file") << "absente.bmp" << "" << false;
    QTest::newRow("unknown extension") << "image.xyz" << "drawn" << false;
    QTest::newRow("JPEG damaged after its header") << "damaged.jpg" << "sample" << false;
}

void TestQcm::picture()
{
    QFETCH(QString, picture);
    QFETCH(QString, source);
    QFETCH(bool, shown);

    const QString path = dir->filePath(picture);
    if (source == QLatin1String("drawn")) {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(path, "BMP"));
    } else if (source == QLatin1String("sample")) {
        QVERIFY(QFile::copy(QStringLiteral(NELO_TEST_DATA "/pictures/") + picture, path));
    }
    QStringList document = block(0, QStringLiteral("Image"), {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("1"),
                                 {QStringLiteral("texte")}, path);
    document << questionnaire(2).mid(12);
    TQcm &runner = program->runner();
    program->start(document);
    QTest::qWait(10); // a deferred first drawing would report its failure now
    QCOMPARE(!runner.Image1->picture().isEmpty(), shown);
    QVERIFY(program->boxes.shown().isEmpty());
    QCOMPARE(runner.Edit1->text(), QStringLiteral("Image"));
    QCOMPARE(labelTexts(runner).first(), QStringLiteral("1) a"));
    QCOMPARE(runner.Memo1->toPlainText(), QStringLiteral("texte"));
    if (shown)
        QCOMPARE(runner.Image1->pictureRect(), runner.Image1->rect()); // larger than the frame: stretched
}

void TestQcm::typing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");

    QTest::newRow("2 then 4 leaves 2") << "24" << 2;
    QTest::newRow("one digit") << "3" << 3;
    QTest::newRow("1 then 0") << "10" << 1;
    QTest::newRow("beyond the answers") << "7" << 0;
    QTest::newRow("a letter") << "a" << 0;
}

void TestQcm::typing()
{
    QFETCH(QString, typed);
    QFETCH(int, value);

    TQcm &runner = program->runner();
    program->start(questionnaire(3));
    QCOMPARE(runner.SpinEdit1->maximum(), 5);
    runner.SpinEdit1->selectAll();
    QTest::keyClicks(runner.SpinEdit1, typed);
    QCOMPARE(runner.SpinEdit1->value(), value);
}

void TestQcm::closing_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Fermer") << false;
    QTest::newRow("Escape") << true;
}

void TestQcm::closing()
{
    QFETCH(bool, escape);

    TQcm &runner = program->runner();
    program->start(questionnaire(3));
    runner.SpinEdit1->setValue(2);
    if (escape)
        program->press(runner.SpinEdit1, Qt::Key_Escape);
    else
        QTest::mouseClick(runner.Button1, Qt::LeftButton);
    QVERIFY(!runner.isVisible());
    // The answer in the box when closing is not stored.
    QCOMPARE(runner.session().Answers().at(0), 0);
}

void TestQcm::results_data()
{
    QTest::addColumn<QStringList>("clicks"); // "next", "last", "first" after setting the box
    QTest::addColumn<QList<int>>("box");     // box value before each click, then before "Résultat"
    QTest::addColumn<Grid>("rows");          // rows 1 to 3
    QTest::addColumn<QString>("total");

    const auto row = [](int n, const char *answer, const char *mark) {
        return QStringList{QString::number(n), QStringLiteral("Titre %1").arg(n), QLatin1String(answer),
                           QString::number(n), QLatin1String(mark)};
    };
    QTest::newRow("right after the start") << QStringList() << QList<int>{0}
                                           << Grid{row(1, "0", ""), row(2, "0", ""), row(3, "0", "")} << "0";
    QTest::newRow("answer in the box counted without moving")
        << QStringList{QStringLiteral("next")} << QList<int>{1, 2} << Grid{row(1, "1", "*"), row(2, "2", "*"), row(3, "0", "")}
        << "2";
    QTest::newRow("jump to the last question") << QStringList{QStringLiteral("last")} << QList<int>{0, 1}
                                               << Grid{row(1, "0", ""), row(2, "0", ""), row(3, "1", "")} << "0";
}

void TestQcm::results()
{
    QFETCH(QStringList, clicks);
    QFETCH(QList<int>, box);
    QFETCH(Grid, rows);
    QFETCH(QString, total);

    TQcm &runner = program->runner();
    // Right answers 1, 2 and 3: question n is answered right with n.
    program->start(questionnaire(3));
    for (int i = 0; i < clicks.size(); ++i) {
        runner.SpinEdit1->setValue(box.at(i));
        QToolButton *button = clicks.at(i) == QLatin1String("next") ? runner.SpeedButton1
                              : clicks.at(i) == QLatin1String("last") ? runner.SpeedButton3
                                                                      : runner.SpeedButton4;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    runner.SpinEdit1->setValue(box.last());
    const QString before = runner.Panel3->text();
    const Grid grid = program->pressResult();

    QCOMPARE(grid.size(), 6);
    QCOMPARE(grid.at(0), (QStringList{QString(), "Question", "Réponse", "Solution", QString()}));
    QCOMPARE(grid.mid(1, 3), rows);
    QCOMPARE(grid.at(4), QStringList(5, QString()));
    QCOMPARE(grid.at(5), (QStringList{QString(), "Nombre de bonnes réponses", total, QString(), QString()}));
    // Back on the same question, the results closed.
    QCOMPARE(runner.Panel3->text(), before);
    QVERIFY(!program->results().isVisible());
}

void TestQcm::rightAnswerChangedToWrong()
{
    TQcm &runner = program->runner();
    program->start(questionnaire(3));
    QTest::mouseClick(runner.SpeedButton1, Qt::LeftButton);
    runner.SpinEdit1->setValue(2);
    const Grid right = program->pressResult();
    runner.SpinEdit1->setValue(4);
    const Grid wrong = program->pressResult();
    QCOMPARE(right.at(2).at(4), QStringLiteral("*"));
    QCOMPARE(right.at(5).at(2), QStringLiteral("1"));
    QCOMPARE(wrong.at(2).at(2), QStringLiteral("4"));
    QCOMPARE(wrong.at(2).at(4), QString());
    QCOMPARE(wrong.at(5).at(2), QStringLiteral("0"));
}

void TestQcm::shorterSecondRun()
{
    TQcm &runner = program->runner();
    program->start(questionnaire(6));
    runner.SpinEdit1->setValue(1);
    QCOMPARE(program->pressResult().size(), 9);
    runner.close();

    runner.Init(questionnaire(2));
    QCOMPARE(program->results().table().rowCount(), 0); // emptied as the run starts
    runner.show();
    const Grid grid = program->pressResult();
    QCOMPARE(grid.size(), 5);
    QCOMPARE(grid.at(1).at(2), QStringLiteral("0"));
    QCOMPARE(grid.at(4).at(1), QStringLiteral("Nombre de bonnes réponses"));
    QCOMPARE(grid.at(4).at(2), QStringLiteral("0"));
}

void TestQcm::resultsCopiedAsText()
{
    TQcm &runner = program->runner();
    program->start(questionnaire(2));
    runner.SpinEdit1->setValue(1);
    QTimer copier;
    copier.setSingleShot(true);
    connect(&copier, &QTimer::timeout, this, [&] {
        QTest::keyClick(program->results().StringGrid1, Qt::Key_C, Qt::ControlModifier);
        program->results().accept();
    });
    copier.start(0);
    QTest::mouseClick(runner.Button2, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("\tQuestion\tRéponse\tSolution\t\n1\tTitre 1\t1\t1\t*\n2\tTitre 2\t0\t2\t\n\t\t\t\t\n"
                            "\tNombre de bonnes réponses\t1\t\t\n"));
}

QTEST_MAIN(TestQcm)
#include "tst_qcm.moc"
