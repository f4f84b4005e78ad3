#include "document/qcmformat.h"
#include "editor/finddialog.h"
#include "editor/fixchemin.h"
#include "editor/pageliste.h"
#include "editor/planche.h"
#include "editor/replacedialog.h"
#include "pictures/imageframe.h"
#include "pictures/pictureregistry.h"
#include "platform/desktopconventions.h"
#include "platform/printdialogs.h"
#include "platform/scriptedfiledialogs.h"
#include "platform/scriptedmessageboxes.h"
#include "platform/scriptedprogress.h"
#include "platform/services.h"
#include "platform/systemclock.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "whenshown.h"

namespace {

// A questionnaire of `count` questions: question n is titled "Titre n", answers "n-1" to
// "n-5", right answer ((n - 1) % 5) + 1, one line of free text "Texte n".
QStringList questionnaire(int count, const QString &picture = QString())
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        const int n = i + 1;
        lines << QcmFormat::openingTag(i) << QStringLiteral("TITLE Titre %1").arg(n)
              << QStringLiteral("PICTURE ") + picture;
        for (int a = 1; a <= 5; ++a)
            lines << QStringLiteral("REP%1 %2-%1").arg(a).arg(n);
        lines << QStringLiteral("REPONSE %1").arg((i % 5) + 1) << QStringLiteral("Texte %1").arg(n)
              << QcmFormat::closingTag(i);
    }
    return lines;
}

QString savedPicture(const QTemporaryDir &dir, const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir.filePath(name);
    image.save(path, "BMP");
    return path;
}

// The block of `question` in the document, from its opening tag to its closing tag.
QStringList blockOf(const QStringList &document, int question)
{
    const int open = QcmFormat::findBlock(document, question);
    if (open < 0)
        return {};
    return document.mid(open, QcmFormat::blockEnd(document, open, question) - open);
}

} // namespace

class TestPlanche : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controlsAtDesignPlaces_data();
    void controlsAtDesignPlaces();
    void fonts_data();
    void fonts();
    void tabOrder();
    void everyFieldReachableInASmallSheet_data();
    void everyFieldReachableInASmallSheet();
    void formResize();

    void navigation_data();
    void navigation();
    void navigationKeysInEveryField_data();
    void navigationKeysInEveryField();
    void pageDownInFreeTextDoesNotScroll();
    void everyPageKeyNavigates_data();
    void everyPageKeyNavigates();

    void copyOnQuestionTwoPasteOnQuestionFive();
    void pasteBeforeAnyCopyEmptiesTitleAndAnswers();
    void copyKeepsTextsAcrossQuestionnaires();
    void removingPictureWritesEmptyPictureLine();
    void addQuestionShowsEmptyLastQuestion();
    void newQuestionnaireRestylesTitle();

    void modifiedFlag_data();
    void modifiedFlag();

    void choosingPicture_data();
    void choosingPicture();
    void cancelledPictureChoiceChangesNothing();
    void unreadablePictureIsReportedAndPathKept();
    void freeTextRoundTrip_data();
    void freeTextRoundTrip();
    void longTitleRefusedAtEntry();

    void severalRightAnswers_data();
    void severalRightAnswers();
    void severalRightAnswersByKeyboard();
    void undoTakesBackEachTick();
    void feedbackKeptWithItsQuestion();
    void oneAnswerQuestionsWrittenAsRead();
    void lineLimitSaid_data();
    void lineLimitSaid();
    void correctionInsertedBesideTheComments();

private:
    TPlanche *sheet = nullptr;
    ScriptedMessageBoxes boxes;
    ScriptedPrintDialogs printing{boxes};
    ScriptedProgress progress;
    ScriptedFileDialogs *dialogs = nullptr;
    PictureRegistry *registry = nullptr;
    FixedClock *clock = nullptr;
    Services *services = nullptr;
    QTemporaryDir *dir = nullptr;
    TPageListe *list = nullptr;
    TFixchemin *paths = nullptr;
    TFindDialog *find = nullptr;
    TReplaceDialog *replace = nullptr;
};

void TestPlanche::init()
{
    boxes.clear();
    dir = new QTemporaryDir;
    dialogs = new ScriptedFileDialogs;
    registry = new PictureRegistry;
    clock = new FixedClock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    services = new Services{boxes, *dialogs, *dialogs, *clock, *registry, printing, progress};
    sheet = new TPlanche(*services);
    list = new TPageListe(sheet);
    paths = new TFixchemin(sheet);
    find = new TFindDialog(sheet);
    replace = new TReplaceDialog(sheet);
    sheet->setWindows({list, paths, find, replace});
    sheet->show();
    QVERIFY(QTest::qWaitForWindowExposed(sheet));
}

void TestPlanche::cleanup()
{
    delete sheet;
    delete services;
    delete clock;
    delete registry;
    delete dialogs;
    delete dir;
    QCOMPARE(boxes.unexpected(), 0);
}

void TestPlanche::controlsAtDesignPlaces_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Label1") << "Label1" << QRect(14, 38, 50, 29);
    QTest::newRow("Panel1") << "Panel1" << QRect(656, 5, 101, 31);
    QTest::newRow("Panel2") << "Panel2" << QRect(24, 88, 281, 217);
    QTest::newRow("Memo1") << "Memo1" << QRect(384, 80, 321, 177);
    QTest::newRow("Button1") << "Button1" << QRect(384, 272, 113, 28);
    QTest::newRow("SpinEdit1") << "SpinEdit1" << QRect(664, 272, 57, 31);
    QTest::newRow("Edit2") << "Edit2" << QRect(120, 320, 569, 26);
    QTest::newRow("Edit6") << "Edit6" << QRect(120, 448, 569, 26);
}

void TestPlanche::controlsAtDesignPlaces()
{
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    // At the design size; FormResize moves only the title box and the question label.
    sheet->resize(TPlanche::DesignWidth, TPlanche::DesignHeight);
    QWidget *widget = nullptr;
    if (control == QLatin1String("Label1")) widget = sheet->Label1;
    if (control == QLatin1String("Panel1")) widget = sheet->Panel1;
    if (control == QLatin1String("Panel2")) widget = sheet->Panel2;
    if (control == QLatin1String("Memo1")) widget = sheet->Memo1;
    if (control == QLatin1String("Button1")) widget = sheet->Button1;
    if (control == QLatin1String("SpinEdit1")) widget = sheet->SpinEdit1;
    if (control == QLatin1String("Edit2")) widget = sheet->answerEdits[0];
    if (control == QLatin1String("Edit6")) widget = sheet->answerEdits[4];
    QVERIFY(widget);
    if (control == QLatin1String("Panel1"))
        geometry.moveTo(TPlanche::DesignWidth - 120, 38);
    QCOMPARE(widget->geometry(), geometry);
}

void TestPlanche::fonts_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::newRow("title") << "Edit1" << "Arial" << 19 << true;
    QTest::newRow("free text") << "Memo1" << "Arial" << 16 << false;
    QTest::newRow("answer") << "Edit2" << "Arial" << 16 << false;
    QTest::newRow("Titre caption") << "Label1" << "MS Sans Serif" << 24 << false;
    QTest::newRow("Bonne réponse caption") << "Label4" << "MS Sans Serif" << 19 << false;
    QTest::newRow("Réponse 1 caption") << "Label2" << "MS Sans Serif" << 19 << false;
}

void TestPlanche::fonts()
{
    QFETCH(QString, control);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QWidget *widget = control == QLatin1String("Edit1") ? static_cast<QWidget *>(sheet->Edit1)
        : control == QLatin1String("Memo1")             ? sheet->Memo1
        : control == QLatin1String("Edit2")             ? static_cast<QWidget *>(sheet->answerEdits[0])
        : control == QLatin1String("Label1")            ? sheet->Label1
        : control == QLatin1String("Label4")            ? sheet->Label4
                                                        : sheet->answerLabels[0];
    QCOMPARE(widget->font().family(), designFontFamily(family));
    QCOMPARE(widget->font().pixelSize(), pixels);
    QCOMPARE(widget->font().bold(), bold);
}

void TestPlanche::tabOrder()
{
    const QList<QWidget *> expected{sheet->Edit1,          sheet->Memo1,          sheet->answerEdits[0],
                                    sheet->answerEdits[1], sheet->answerEdits[2], sheet->answerEdits[3],
                                    sheet->answerEdits[4], sheet->SpinEdit1,      sheet->Button1,
                                    sheet->SeveralRight,   sheet->feedbackEdits[0], sheet->feedbackEdits[1],
                                    sheet->feedbackEdits[2], sheet->feedbackEdits[3], sheet->feedbackEdits[4]};
    sheet->Edit1->setFocus();
    QCOMPARE(QApplication::focusWidget(), sheet->Edit1);
    for (int i = 1; i < int(expected.size()); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected.at(i));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), sheet->Edit1);
    QCOMPARE(sheet->Panel1->focusPolicy(), Qt::NoFocus);
}

void TestPlanche::everyFieldReachableInASmallSheet_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("window of 800 x 500 less the frame") << QSize(790, 420);
    QTest::newRow("narrower and lower than the design") << QSize(500, 300);
    QTest::newRow("design size") << QSize(TPlanche::DesignWidth, TPlanche::DesignHeight);
    QTest::newRow("larger: title box follows the width") << QSize(1200, 700);
}

void TestPlanche::everyFieldReachableInASmallSheet()
{
    QFETCH(QSize, size);
    sheet->resize(size);
    // Design places stay whatever the size; the title box and the question label follow the
    // page's width, which is never below the design's.
    const int pageWidth = std::max(size.width(), int(TPlanche::DesignWidth));
    QCOMPARE(sheet->Edit1->width(), pageWidth - 220);
    QCOMPARE(sheet->answerEdits[4]->geometry(), QRect(120, 448, 569, 26));

    QList<QWidget *> fields{sheet->Edit1, sheet->Memo1, sheet->SpinEdit1, sheet->Button1};
    for (QLineEdit *edit : sheet->answerEdits)
        fields.append(edit);
    for (QWidget *field : fields) {
        field->setFocus();
        QCOMPARE(QApplication::focusWidget(), field);
        // The focused field's top-left corner is inside the sheet, where the eye finds it.
        const QPoint corner = field->mapTo(sheet, QPoint(0, 0));
        QVERIFY2(sheet->rect().contains(corner) && corner.y() + field->height() <= sheet->height(),
                 qPrintable(field->objectName()));
    }
}

void TestPlanche::formResize()
{
    sheet->resize(1000, 640);
    QCOMPARE(sheet->Edit1->width(), 780);
    QCOMPARE(sheet->Panel1->pos(), QPoint(880, 38));
    QCOMPARE(sheet->Memo1->geometry(), QRect(384, 80, 321, 177));
}

void TestPlanche::navigation_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("expected");
    QTest::newRow("next in the middle") << 5 << 2 << "Suivant" << 3;
    QTest::newRow("next on the last stays") << 5 << 4 << "Suivant" << 4;
    QTest::newRow("previous on the first stays") << 5 << 0 << "Precedent" << 0;
    QTest::newRow("previous in the middle") << 5 << 3 << "Precedent" << 2;
    QTest::newRow("first") << 5 << 3 << "Premier" << 0;
    QTest::newRow("last") << 5 << 1 << "Dernier" << 4;
    QTest::newRow("one question: next") << 1 << 0 << "Suivant" << 0;
    QTest::newRow("one question: last") << 1 << 0 << "Dernier" << 0;
    QTest::newRow("one question: previous") << 1 << 0 << "Precedent" << 0;
    QTest::newRow("one question: first") << 1 << 0 << "Premier" << 0;
    QTest::newRow("one question: run") << 1 << 0 << "Quest" << 0;
}

void TestPlanche::navigation()
{
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(QString, command);
    QFETCH(int, expected);
    sheet->store().ChargeLignes(questionnaire(count), QStringLiteral("essai.qcm"));
    sheet->store().AllerA(start);
    const QStringList before = sheet->store().document();

    if (command == QLatin1String("Suivant")) sheet->Suivant();
    if (command == QLatin1String("Precedent")) sheet->Precedent();
    if (command == QLatin1String("Premier")) sheet->Premier();
    if (command == QLatin1String("Dernier")) sheet->Dernier();
    if (command == QLatin1String("Quest")) sheet->Quest();

    QCOMPARE(sheet->store().CurrentQuestion(), expected);
    QCOMPARE(sheet->Panel1->text(), QStringLiteral("Question %1").arg(expected + 1));
    QCOMPARE(sheet->Edit1->text(), QStringLiteral("Titre %1").arg(expected + 1));
    QCOMPARE(sheet->answerEdits[2]->text(), QStringLiteral("%1-3").arg(expected + 1));
    QCOMPARE(sheet->SpinEdit1->value(), (expected % 5) + 1);
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte %1").arg(expected + 1));
    QCOMPARE(QApplication::focusWidget(), sheet->Edit1);
    QCOMPARE(sheet->store().DocumentModified(), false);
    // With one question Next, Last and Run do nothing at all; Previous and First write the
    // question back (its block moves to the end of the document).
    const bool nothingAtAll = count == 1 && command != QLatin1String("Precedent") && command != QLatin1String("Premier");
    if (nothingAtAll)
        QCOMPARE(sheet->store().document(), before);
    else
        QCOMPARE(QcmFormat::countQuestions(sheet->store().document()), count);
}

void TestPlanche::navigationKeysInEveryField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    const QStringList fields{QStringLiteral("Edit1"), QStringLiteral("Memo1"), QStringLiteral("Edit4"),
                             QStringLiteral("SpinEdit1"), QStringLiteral("Button1")};
    for (const QString &field : fields) {
        QTest::addRow("PgDn in %s", qPrintable(field)) << field << int(Qt::Key_PageDown) << 3;
        QTest::addRow("PgUp in %s", qPrintable(field)) << field << int(Qt::Key_PageUp) << 1;
        QTest::addRow("F2 in %s", qPrintable(field)) << field << int(Qt::Key_F2) << 2;
    }
}

void TestPlanche::navigationKeysInEveryField()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(int, expected);
    sheet->store().ChargeLignes(questionnaire(5), QStringLiteral("essai.qcm"));
    sheet->store().AllerA(2);
    QWidget *target = field == QLatin1String("Edit1") ? static_cast<QWidget *>(sheet->Edit1)
        : field == QLatin1String("Memo1")             ? sheet->Memo1
        : field == QLatin1String("Edit4")             ? static_cast<QWidget *>(sheet->answerEdits[2])
        : field == QLatin1String("SpinEdit1")         ? static_cast<QWidget *>(sheet->SpinEdit1)
                                                      : sheet->Button1;
    target->setFocus();
    const int spinBefore = sheet->SpinEdit1->value();
    if (key == Qt::Key_F2)
        whenShown(list, [this] { QTest::keyClick(list->ListBox1, Qt::Key_Escape); });
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(sheet->store().CurrentQuestion(), expected);
    QCOMPARE(sheet->Panel1->text(), QStringLiteral("Question %1").arg(expected + 1));
    // The spin box did not step: it shows the right answer of the question reached.
    if (expected == 2)
        QCOMPARE(sheet->SpinEdit1->value(), spinBefore);
    QCOMPARE(sheet->store().DocumentModified(), false);
}

void TestPlanche::pageDownInFreeTextDoesNotScroll()
{
    QStringList lines = questionnaire(2);
    // Twelve lines of free text: enough to scroll the box.
    const int closing = QcmFormat::blockEnd(lines, 0, 0) - 1;
    for (int i = 0; i < 11; ++i)
        lines.insert(closing, QStringLiteral("Ligne %1").arg(i));
    sheet->store().ChargeLignes(lines, QStringLiteral("essai.qcm"));
    sheet->Memo1->setFocus();
    QTextCursor cursor = sheet->Memo1->textCursor();
    cursor.movePosition(QTextCursor::Start);
    sheet->Memo1->setTextCursor(cursor);
    QTest::keyClick(sheet->Memo1, Qt::Key_PageDown);
    QCOMPARE(sheet->store().CurrentQuestion(), 1);
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 2"));
    QTest::keyClick(sheet->Memo1, Qt::Key_PageUp);
    QCOMPARE(sheet->store().CurrentQuestion(), 0);
    QCOMPARE(sheet->Memo1->toPlainText().split(QLatin1Char('\n')).size(), 12);
}

void TestPlanche::everyPageKeyNavigates_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("modifiers");
    const QList<QPair<const char *, int>> held{{"keypad", Qt::KeypadModifier},
                                               {"Shift", Qt::ShiftModifier},
                                               {"Ctrl", Qt::ControlModifier},
                                               {"Ctrl+Shift on the keypad", Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier}};
    for (const char *field : {"Memo1", "Edit1", "SpinEdit1"}) {
        for (const auto &[name, modifiers] : held)
            QTest::addRow("%s in %s", name, field) << QString::fromLatin1(field) << modifiers;
    }
}

void TestPlanche::everyPageKeyNavigates()
{
    QFETCH(QString, field);
    QFETCH(int, modifiers);
    QStringList lines = questionnaire(3);
    // Enough free text to scroll, and a title to select: the field must do neither.
    const int closing = QcmFormat::blockEnd(lines, 0, 0) - 1;
    for (int i = 0; i < 15; ++i)
        lines.insert(closing, QStringLiteral("Ligne %1").arg(i));
    sheet->store().ChargeLignes(lines, QStringLiteral("essai.qcm"));
    QWidget *target = field == QLatin1String("Memo1") ? static_cast<QWidget *>(sheet->Memo1)
        : field == QLatin1String("Edit1")             ? static_cast<QWidget *>(sheet->Edit1)
                                                      : sheet->SpinEdit1;
    target->setFocus();
    QTest::keyClick(target, Qt::Key_PageDown, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(sheet->store().CurrentQuestion(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(sheet->store().CurrentQuestion(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(sheet->store().CurrentQuestion(), 1);
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 2"));
    QCOMPARE(sheet->SpinEdit1->value(), 2);
    QVERIFY(!sheet->Edit1->hasSelectedText());
    QVERIFY(!sheet->store().DocumentModified());
}

void TestPlanche::copyOnQuestionTwoPasteOnQuestionFive()
{
    const QString picture = savedPicture(*dir, QStringLiteral("chat.bmp"), QSize(50, 40));
    sheet->store().ChargeLignes(questionnaire(6, picture), QStringLiteral("essai.qcm"));
    sheet->store().AllerA(1);
    sheet->Copier();
    sheet->store().AllerA(4);
    sheet->Coller();

    QCOMPARE(sheet->Edit1->text(), QStringLiteral("Titre 2"));
    for (int a = 0; a < 5; ++a)
        QCOMPARE(sheet->answerEdits[size_t(a)]->text(), QStringLiteral("2-%1").arg(a + 1));
    QCOMPARE(sheet->SpinEdit1->value(), 5);
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 5"));
    QCOMPARE(sheet->store().CurrentPicture(), picture);
    QCOMPARE(sheet->Image1->picture().width(), 50);
    QVERIFY(sheet->store().DocumentModified());

    const QStringList block = blockOf(sheet->store().document(), 4);
    QCOMPARE(block.value(1), QStringLiteral("TITLE Titre 2"));
    QCOMPARE(block.value(2), QStringLiteral("PICTURE ") + picture);
    QCOMPARE(block.value(8), QStringLiteral("REPONSE 5"));
    QCOMPARE(block.value(9), QStringLiteral("Texte 5"));
    // Question 2 itself is untouched.
    QCOMPARE(blockOf(sheet->store().document(), 1).value(1), QStringLiteral("TITLE Titre 2"));
}

void TestPlanche::pasteBeforeAnyCopyEmptiesTitleAndAnswers()
{
    sheet->store().ChargeLignes(questionnaire(3), QStringLiteral("essai.qcm"));
    sheet->store().AllerA(2);
    sheet->Coller();
    QCOMPARE(sheet->Edit1->text(), QString());
    for (QLineEdit *answer : sheet->answerEdits)
        QCOMPARE(answer->text(), QString());
    QCOMPARE(sheet->SpinEdit1->value(), 3);
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 3"));
    QCOMPARE(blockOf(sheet->store().document(), 2).value(1), QStringLiteral("TITLE "));
}

void TestPlanche::copyKeepsTextsAcrossQuestionnaires()
{
    sheet->store().ChargeLignes(questionnaire(3), QStringLiteral("un.qcm"));
    sheet->Copier();
    sheet->store().Nouveau();
    sheet->Coller();
    QCOMPARE(sheet->Edit1->text(), QStringLiteral("Titre 1"));
    QCOMPARE(sheet->answerEdits[4]->text(), QStringLiteral("1-5"));
}

void TestPlanche::removingPictureWritesEmptyPictureLine()
{
    const QString picture = savedPicture(*dir, QStringLiteral("carte.bmp"), QSize(60, 30));
    sheet->store().ChargeLignes(questionnaire(2, picture), QStringLiteral("essai.qcm"));
    QVERIFY(!sheet->Image1->picture().isEmpty());
    sheet->SuppImg();
    QCOMPARE(sheet->store().CurrentPicture(), QString());
    QVERIFY(sheet->Image1->picture().isEmpty());
    const QStringList block = blockOf(sheet->store().document(), 0);
    QCOMPARE(block.value(2), QStringLiteral("PICTURE "));
    QCOMPARE(block.value(1), QStringLiteral("TITLE Titre 1"));
    QVERIFY(sheet->store().DocumentModified());
}

void TestPlanche::addQuestionShowsEmptyLastQuestion()
{
    sheet->store().ChargeLignes(questionnaire(3), QStringLiteral("essai.qcm"));
    sheet->Ajout();
    QCOMPARE(sheet->store().CurrentQuestion(), 3);
    QCOMPARE(sheet->store().QuestionCount(), 4);
    QCOMPARE(sheet->Panel1->text(), QStringLiteral("Question 4"));
    QCOMPARE(sheet->Edit1->text(), QString());
    QCOMPARE(sheet->SpinEdit1->value(), 1);
    QCOMPARE(QApplication::focusWidget(), sheet->Edit1);
}

void TestPlanche::newQuestionnaireRestylesTitle()
{
    const QPalette before = sheet->Edit1->palette();
    QVERIFY(before.color(QPalette::Base) != QColor(Qt::black));
    sheet->store().Nouveau();
    const QPalette after = sheet->Edit1->palette();
    QCOMPARE(after.color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(after.color(QPalette::Text), QColor(Qt::white));
    QCOMPARE(sheet->Edit1->font().family(), designFontFamily(QStringLiteral("Arial")));
    QCOMPARE(sheet->Edit1->font().pixelSize(), 20);
    QCOMPARE(sheet->Panel1->text(), QStringLiteral("Question 1"));
    QCOMPARE(sheet->store().QuestionCount(), 1);
    QVERIFY(!sheet->store().DocumentModified());
    // The style stays while the new questionnaire is edited, through its other questions...
    sheet->store().Ajout();
    sheet->store().Precedent();
    QCOMPARE(sheet->Edit1->palette().color(QPalette::Base), QColor(Qt::black));
    // ...and goes when another questionnaire is read.
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    QCOMPARE(sheet->Edit1->palette().color(QPalette::Base), before.color(QPalette::Base));
    QCOMPARE(sheet->Edit1->font().pixelSize(), 19);
}

void TestPlanche::modifiedFlag_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nothing after loading") << "nothing" << false;
    QTest::newRow("browsing questions") << "browse" << false;
    QTest::newRow("typing in the title") << "title" << true;
    QTest::newRow("typing in an answer") << "answer" << true;
    QTest::newRow("stepping the right answer") << "spin" << true;
    QTest::newRow("typing only in the free text") << "free text" << true;
    QTest::newRow("choosing only a picture") << "picture" << true;
    QTest::newRow("question list writes back and reads") << "index" << false;
}

void TestPlanche::modifiedFlag()
{
    QFETCH(QString, action);
    QFETCH(bool, modified);
    const QString picture = savedPicture(*dir, QStringLiteral("ile.bmp"), QSize(20, 20));
    sheet->store().ChargeLignes(questionnaire(4), QStringLiteral("essai.qcm"));
    QVERIFY(!sheet->store().DocumentModified());

    if (action == QLatin1String("browse")) {
        QTest::keyClick(sheet->Edit1, Qt::Key_PageDown);
        QTest::keyClick(sheet->Edit1, Qt::Key_PageDown);
        QTest::keyClick(sheet->Edit1, Qt::Key_PageUp);
        sheet->Dernier();
        sheet->Premier();
    } else if (action == QLatin1String("title")) {
        QTest::keyClicks(sheet->Edit1, QStringLiteral("x"));
    } else if (action == QLatin1String("answer")) {
        QTest::keyClicks(sheet->answerEdits[3], QStringLiteral("y"));
    } else if (action == QLatin1String("spin")) {
        sheet->SpinEdit1->setFocus();
        QTest::keyClick(sheet->SpinEdit1, Qt::Key_Up);
    } else if (action == QLatin1String("free text")) {
        QTest::keyClicks(sheet->Memo1, QStringLiteral("z"));
    } else if (action == QLatin1String("picture")) {
        dialogs->script(picture);
        QTest::mouseClick(sheet->Button1, Qt::LeftButton);
    } else if (action == QLatin1String("index")) {
        whenShown(list, [this] { QTest::keyClick(list->ListBox1, Qt::Key_Return); });
        QTest::keyClick(sheet->Edit1, Qt::Key_F2);
    }
    QCOMPARE(sheet->store().DocumentModified(), modified);
    QCOMPARE(sheet->store().SheetModified(), modified);
}

void TestPlanche::choosingPicture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("stretched");
    QTest::newRow("larger both ways: stretched") << QSize(1000, 800) << true;
    QTest::newRow("smaller: own size, centred") << QSize(100, 100) << false;
    QTest::newRow("wider only: own size, cut") << QSize(1000, 100) << false;
    QTest::newRow("higher only: own size, cut") << QSize(100, 800) << false;
}

void TestPlanche::choosingPicture()
{
    QFETCH(QSize, size);
    QFETCH(bool, stretched);
    const QString picture = savedPicture(*dir, QStringLiteral("image.bmp"), size);
    sheet->store().Nouveau();
    dialogs->script(picture);
    QTest::mouseClick(sheet->Button1, Qt::LeftButton);

    QCOMPARE(dialogs->shown().size(), 1);
    QCOMPARE(dialogs->shown().first().filter.section(QStringLiteral(";;"), 0, 0),
             QStringLiteral("Tout (*.bmp *.ico *.emf *.wmf *.jpg *.jpeg *.gif *.pcx *.png *.svg *.webp)"));
    QCOMPARE(sheet->store().CurrentPicture(), picture);
    QCOMPARE(sheet->Image1->picture().width(), size.width());
    QCOMPARE(sheet->Image1->stretch(), stretched);
    // The box fills its frame; a picture drawn at its own size stands in the box's centre.
    QCOMPARE(sheet->Image1->geometry(), sheet->Panel2->contentsRect().adjusted(1, 1, -1, -1));
    const QRect drawn = sheet->Image1->pictureRect();
    if (stretched)
        QCOMPARE(drawn, sheet->Image1->rect());
    else {
        QCOMPARE(drawn.size(), size);
        QVERIFY2((drawn.center() - sheet->Image1->rect().center()).manhattanLength() <= 2, "not centred");
    }
    // The chosen file's folder is current, so the path could be written bare.
    QCOMPARE(QDir::current().canonicalPath(), QDir(dir->path()).canonicalPath());
    // The path reaches the document with the next write-back.
    sheet->store().EcritFiche();
    QCOMPARE(blockOf(sheet->store().document(), 0).value(2), QStringLiteral("PICTURE ") + picture);
}

void TestPlanche::cancelledPictureChoiceChangesNothing()
{
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    dialogs->script(QString());
    QTest::mouseClick(sheet->Button1, Qt::LeftButton);
    QCOMPARE(sheet->store().CurrentPicture(), QString());
    QVERIFY(!sheet->store().DocumentModified());
}

void TestPlanche::unreadablePictureIsReportedAndPathKept()
{
    const QString broken = dir->filePath(QStringLiteral("abime.bmp"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("pas une image");
    file.close();
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    dialogs->script(broken);
    QTest::mouseClick(sheet->Button1, Qt::LeftButton);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().icon, MessageIcon::Stop);
    QVERIFY(!boxes.lastText().isEmpty());
    QCOMPARE(sheet->store().CurrentPicture(), broken);
    QVERIFY(sheet->Image1->picture().isEmpty());
}

void TestPlanche::freeTextRoundTrip_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty box: no line") << "" << QStringList();
    QTest::newRow("one line") << "Une ligne" << QStringList{QStringLiteral("Une ligne")};
    QTest::newRow("two lines") << "a\nb" << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("a final line break adds no line") << "a\n" << QStringList{QStringLiteral("a")};
    QTest::newRow("an empty line inside stays") << "a\n\nb"
                                                << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
}

void TestPlanche::freeTextRoundTrip()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, lines);
    sheet->Memo1->setPlainText(typed);
    QCOMPARE(sheet->fields().freeText, lines);
}

void TestPlanche::longTitleRefusedAtEntry()
{
    // The file keeps 255 characters: a longer title would be cut silently on reading it back.
    sheet->Edit1->setText(QString(300, QLatin1Char('t')));
    QCOMPARE(sheet->Edit1->text().size(), QcmFormat::MaxFieldLength);
    sheet->answerEdits[0]->setText(QString(300, QLatin1Char('r')));
    QCOMPARE(sheet->answerEdits[0]->text().size(), QcmFormat::MaxFieldLength);
}

void TestPlanche::severalRightAnswers_data()
{
    QTest::addColumn<QString>("clicks"); // "S" for "Plusieurs bonnes réponses", a digit for an answer's box
    QTest::addColumn<int>("spin");
    QTest::addColumn<QStringList>("freeText"); // of question 3 (right answer 3) once written back
    QTest::addColumn<bool>("modified");
    QTest::newRow("ticked: the spin box's answer is ticked, nothing more yet") << "S" << 3 << QStringList{"Texte 3"} << false;
    QTest::newRow("two answers") << "S5" << 3 << QStringList{"Texte 3", "Correction :", "Bonnes réponses : 3, 5"} << true;
    QTest::newRow("the spin box follows the first")
        << "S15" << 1 << QStringList{"Texte 3", "Correction :", "Bonnes réponses : 1, 3, 5"} << true;
    QTest::newRow("first unticked") << "S53" << 5 << QStringList{"Texte 3"} << true;
    QTest::newRow("unticked: back to one answer") << "S15S" << 1 << QStringList{"Texte 3"} << true;
}

void TestPlanche::severalRightAnswers()
{
    QFETCH(QString, clicks);
    sheet->store().ChargeLignes(questionnaire(4), QStringLiteral("essai.qcm"));
    sheet->store().AllerA(2);
    for (const QChar c : clicks) {
        QCheckBox *box = c == QLatin1Char('S') ? sheet->SeveralRight : sheet->rightBoxes[size_t(c.digitValue() - 1)];
        QVERIFY(box->isVisible());
        box->click();
    }
    QFETCH(int, spin);
    QFETCH(QStringList, freeText);
    QCOMPARE(sheet->SpinEdit1->value(), spin);
    QCOMPARE(sheet->SpinEdit1->isEnabled(), !sheet->SeveralRight->isChecked());
    QTEST(sheet->store().DocumentModified(), "modified");
    sheet->Suivant();
    const QStringList block = blockOf(sheet->store().document(), 2);
    QCOMPARE(block.at(8), QStringLiteral("REPONSE %1").arg(spin));
    QCOMPARE(block.mid(9, block.size() - 10), freeText);
    // Read back as written: the memo holds the author's line alone.
    sheet->Precedent();
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 3"));
    const bool several = freeText.size() > 1;
    QCOMPARE(sheet->SeveralRight->isChecked(), several);
    QCOMPARE(sheet->rightBoxes[4]->isVisible(), several);
}

void TestPlanche::severalRightAnswersByKeyboard()
{
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    sheet->Button1->setFocus();
    QTest::keyClick(sheet->Button1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), sheet->SeveralRight);
    QTest::keyClick(sheet->SeveralRight, Qt::Key_Space);
    QVERIFY(sheet->SeveralRight->isChecked());
    // The answers' boxes come next, then the comments.
    QTest::keyClick(sheet->SeveralRight, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), sheet->rightBoxes[0]);
    QTest::keyClick(sheet->rightBoxes[0], Qt::Key_Tab);
    QTest::keyClick(sheet->rightBoxes[1], Qt::Key_Space);
    QVERIFY(sheet->rightBoxes[1]->isChecked());
    QCOMPARE(sheet->fields().freeText.last(), QStringLiteral("Bonnes réponses : 1, 2"));
    for (int i = 1; i < 5; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), sheet->feedbackEdits[0]);
}

void TestPlanche::undoTakesBackEachTick()
{
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    sheet->SeveralRight->click();
    // Ticking the box alone changes nothing the file holds: nothing to take back yet.
    QVERIFY(!sheet->store().canUndo());
    sheet->rightBoxes[3]->click();
    sheet->rightBoxes[1]->click();
    sheet->Annuler();
    QVERIFY(sheet->SeveralRight->isChecked());
    QVERIFY(sheet->rightBoxes[0]->isChecked());
    QVERIFY(sheet->rightBoxes[3]->isChecked());
    QVERIFY(!sheet->rightBoxes[1]->isChecked());
    sheet->Annuler();
    QVERIFY(!sheet->store().canUndo());
    QVERIFY(!sheet->SeveralRight->isChecked());
    QVERIFY(!sheet->rightBoxes[0]->isVisible());
    QVERIFY(sheet->SpinEdit1->isEnabled());
    QVERIFY(!sheet->store().DocumentModified());
}

void TestPlanche::feedbackKeptWithItsQuestion()
{
    sheet->store().ChargeLignes(questionnaire(3), QStringLiteral("essai.qcm"));
    sheet->store().AllerA(1);
    QTest::keyClicks(sheet->feedbackEdits[2], QStringLiteral("tu as confondu"));
    sheet->feedbackEdits[2]->insert(QStringLiteral(" périmètre et aire"));
    QVERIFY(sheet->store().DocumentModified());
    sheet->Suivant();
    QVERIFY(sheet->feedbackEdits[2]->text().isEmpty());
    QCOMPARE(blockOf(sheet->store().document(), 1).mid(9, 3),
             (QStringList{"Texte 2", "Correction :", "Commentaire de la réponse 3 : tu as confondu périmètre et aire"}));
    sheet->Precedent();
    QCOMPARE(sheet->feedbackEdits[2]->text(), QStringLiteral("tu as confondu périmètre et aire"));
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 2"));
}

void TestPlanche::oneAnswerQuestionsWrittenAsRead()
{
    // Corrections, and lines that only look like the choice lines (in the statement, naming
    // another right answer than the REPONSE line): browsing writes every block back unchanged.
    QStringList lines = questionnaire(3);
    lines.insert(10, QStringLiteral("Bonnes réponses : 1, 2"));
    lines.insert(11, QStringLiteral("Correction : facile"));
    lines.insert(12, QStringLiteral("Bonnes réponses : 2, 3"));
    sheet->store().ChargeLignes(lines, QStringLiteral("essai.qcm"));
    const QByteArray before = sheet->store().ContenuFichier();
    for (int i = 0; i < 3; ++i)
        sheet->Suivant();
    sheet->Premier();
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 1\nBonnes réponses : 1, 2\nCorrection : facile\nBonnes réponses : 2, 3"));
    // Written back in another order, every block holds the lines it had.
    for (int n = 0; n < 3; ++n)
        QCOMPARE(blockOf(sheet->store().document(), n), blockOf(lines, n));
    QVERIFY(!sheet->store().DocumentModified());
    QCOMPARE(before.size(), sheet->store().ContenuFichier().size());
}

void TestPlanche::lineLimitSaid_data()
{
    QTest::addColumn<int>("memoLines");
    QTest::addColumn<bool>("said");
    // Several right answers take two lines (the correction marker and the list).
    QTest::newRow("eleven") << 9 << false;
    QTest::newRow("twelve: the limit") << 10 << true;
    QTest::newRow("thirteen") << 11 << true;
}

void TestPlanche::lineLimitSaid()
{
    QFETCH(int, memoLines);
    QFETCH(bool, said);
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    QStringList memo;
    for (int i = 0; i < memoLines; ++i)
        memo << QStringLiteral("ligne %1").arg(i);
    sheet->Memo1->setPlainText(memo.join(QLatin1Char('\n')));
    QVERIFY(sheet->LineLimit->isHidden());
    sheet->SeveralRight->click();
    sheet->rightBoxes[1]->click();
    QCOMPARE(!sheet->LineLimit->isHidden(), said);
    if (said)
        QVERIFY(sheet->LineLimit->text().contains(memoLines == 10 ? QStringLiteral("12 lignes sur 12") : QStringLiteral("13 lignes")));
    // The list is read back whole; past the limit, the author's last line is the one cut.
    sheet->Suivant();
    sheet->Precedent();
    QVERIFY(sheet->rightBoxes[1]->isChecked());
    QCOMPARE(int(sheet->Memo1->toPlainText().split(QLatin1Char('\n')).size()), std::min(memoLines, 10));
}

void TestPlanche::correctionInsertedBesideTheComments()
{
    sheet->store().ChargeLignes(questionnaire(2), QStringLiteral("essai.qcm"));
    sheet->feedbackEdits[1]->setText(QStringLiteral("non"));
    // The comment's marker stays out of the memo: the command still writes one there.
    sheet->insertCorrection();
    QCOMPARE(sheet->Memo1->toPlainText(), QStringLiteral("Texte 1\nCorrection :\n"));
    sheet->Memo1->insertPlainText(QStringLiteral("Parce que."));
    QCOMPARE(sheet->fields().freeText,
             (QStringList{"Texte 1", "Correction :", "Commentaire de la réponse 2 : non", "Parce que."}));
}

QTEST_MAIN(TestPlanche)
#include "tst_planche.moc"
