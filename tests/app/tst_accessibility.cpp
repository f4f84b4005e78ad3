#include "app/mainform.h"
#include "app/workspace.h"
#include "editor/planche.h"
#include "platform/accessiblenames.h"
#include "platform/helpwindow.h"
#include "results/marksexportdialog.h"
#include "results/resultsstatistics.h"
#include "results/statisticswindow.h"
#include "runner/pupilnamedialog.h"
#include "scriptedservices.h"

#include <QAbstractButton>
#include <QAction>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

// A class with an unfinished run and a mark kept under an older key: every choice of the marks
// export shows.
ResultsStatistics classWithEveryCase()
{
    ResultsStatistics statistics;
    ResultsStatistics::Pupil unfinished;
    unfinished.finished = false;
    ResultsStatistics::Pupil changed;
    changed.mark = 12;
    changed.markKept = true;
    changed.currentMark = 14;
    statistics.pupils = {unfinished, changed};
    return statistics;
}

// Every window the program makes, with scripted boxes, dialogs and clock.
struct Program : ScriptedServices
{
    Workspace workspace{services};
    // Windows made for one command only, walked with the others.
    StatisticsWindow statistics{QStringLiteral("classe.csv"), ResultsStatistics(), services,
                                StatisticsChartModule(QStringLiteral(NELO_STATISTICS_CHART)), &workspace.mainForm};
    PupilNameDialog pupilName{dialogs, QStringLiteral("Élève"), QString(), &workspace.results};
    MarksExportDialog marksExport{classWithEveryCase(), &workspace.mainForm};
};

// The role a screen reader must announce for a kind of control; the most derived kind first.
QAccessible::Role expectedRole(const QWidget *control)
{
    if (qobject_cast<const QCheckBox *>(control))
        return QAccessible::CheckBox;
    if (qobject_cast<const QRadioButton *>(control))
        return QAccessible::RadioButton;
    if (qobject_cast<const QAbstractButton *>(control))
        return QAccessible::Button;
    if (qobject_cast<const QAbstractSpinBox *>(control))
        return QAccessible::SpinBox;
    if (qobject_cast<const QComboBox *>(control))
        return QAccessible::ComboBox;
    if (qobject_cast<const QTextBrowser *>(control))
        return QAccessible::StaticText; // a page to read, not to write
    if (qobject_cast<const QLineEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control)
        || qobject_cast<const QTextEdit *>(control))
        return QAccessible::EditableText;
    if (qobject_cast<const QTableView *>(control))
        return QAccessible::Table;
    if (qobject_cast<const QTreeView *>(control))
        return QAccessible::Tree;
    if (qobject_cast<const QListView *>(control))
        return QAccessible::List;
    return QAccessible::NoRole;
}

// A control the keyboard reaches on its own: not a part that hands its focus to its owner (a
// spin box's line, a scroll area's viewport).
bool takesFocus(const QWidget *widget)
{
    return widget->focusPolicy() != Qt::NoFocus && !widget->focusProxy() && !qobject_cast<const QMenu *>(widget);
}

QString nameOf(const QObject *object)
{
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

QString controlPath(const QWidget *window, const QWidget *control)
{
    QString path = nameOf(control);
    for (const QWidget *up = control->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (!up->objectName().isEmpty())
            path.prepend(up->objectName() + QLatin1Char('/'));
    }
    return nameOf(window) + QLatin1Char('/') + path;
}

} // namespace

Q_DECLARE_METATYPE(QPointer<QWidget>)

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void focusableControls_data();
    void focusableControls();
    void helpKey_data();
    void helpKey();
    void helpSaysWhoReadsTheFreeText();
    void focusComesBackAfterAModalWindow_data();
    void focusComesBackAfterAModalWindow();

private:
    QMenu *menu(const QString &title);

    std::unique_ptr<Program> program;
};

void TestAccessibility::initTestCase()
{
    program = std::make_unique<Program>();
    // Made on first use by the program: made here so that it is walked with the others.
    program->workspace.mainForm.helpWindow();
    program->workspace.mainForm.show();
    QVERIFY(QTest::qWaitForWindowActive(&program->workspace.mainForm));
}

QMenu *TestAccessibility::menu(const QString &title)
{
    for (QMenu *menu : program->workspace.mainForm.findChildren<QMenu *>()) {
        if (menu->title() == title)
            return menu;
    }
    return nullptr;
}

void TestAccessibility::cleanupTestCase()
{
    program.reset();
}

void TestAccessibility::focusableControls_data()
{
    QTest::addColumn<QPointer<QWidget>>("control");
    QTest::addColumn<QString>("expectedName");

    // Names the people using the program know the fields by ("window/control"); every other
    // control only needs one.
    QHash<QString, QString> knownNames{
        {QStringLiteral("TMainForm/Edit1"), QStringLiteral("Titre")},
        {QStringLiteral("TMainForm/Edit2"), QStringLiteral("Réponse 1")},
        {QStringLiteral("TMainForm/Edit6"), QStringLiteral("Réponse 5")},
        {QStringLiteral("TMainForm/SpinEdit1"), QStringLiteral("Bonne réponse")},
        {QStringLiteral("TMainForm/Memo1"), QStringLiteral("Texte libre")},
        {QStringLiteral("TMainForm/SpeedButton2"), QStringLiteral("Exécuter questionnaire")},
        {QStringLiteral("TMainForm/OpenBtn"), QStringLiteral("Ouvrir")},
        {QStringLiteral("TQcm/SpinEdit1"), QStringLiteral("Réponse")},
        {QStringLiteral("TQcm/Memo1"), QStringLiteral("Texte libre")},
        {QStringLiteral("Fixchemin/Label2"), QStringLiteral("Chemin absolu")},
    };

    QSet<QString> seen;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu *>(window))
            continue;
        QList<QWidget *> controls = window->findChildren<QWidget *>();
        controls.prepend(window);
        for (QWidget *control : std::as_const(controls)) {
            if (!takesFocus(control) || control->window() != window)
                continue;
            QString path = controlPath(window, control);
            for (int n = 2; seen.contains(path); ++n)
                path = controlPath(window, control) + QLatin1Char('#') + QString::number(n);
            seen.insert(path);
            const QString expected = knownNames.take(nameOf(window) + QLatin1Char('/') + nameOf(control));
            QTest::newRow(qPrintable(path)) << QPointer<QWidget>(control) << expected;
        }
    }
    // Each of them was found and checked.
    QCOMPARE(knownNames.keys(), QStringList());
}

void TestAccessibility::focusableControls()
{
    QFETCH(QPointer<QWidget>, control);
    QFETCH(QString, expectedName);
    QVERIFY(control);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control.data());
    QVERIFY(accessible);
    const QString name = accessible->text(QAccessible::Name);
    QVERIFY2(!name.trimmed().isEmpty(), "no accessible name");
    QVERIFY2(name != control->objectName(), qPrintable(name));
    if (!expectedName.isEmpty())
        QCOMPARE(name, expectedName);
    if (const QAccessible::Role role = expectedRole(control); role != QAccessible::NoRole)
        QCOMPARE(accessible->role(), role);

    // A caption reading as the control's name is its buddy: its accelerator leads there.
    for (const QLabel *label : control->window()->findChildren<QLabel *>()) {
        if (label != control && AccessibleNames::spokenCaption(label->text()) == name && label->window() == control->window())
            QCOMPARE(label->buddy(), control.data());
    }
}

void TestAccessibility::helpKey_data()
{
    QTest::addColumn<QString>("openMenu");
    QTest::addColumn<QString>("page");
    QTest::newRow("from the title box: contents") << "" << "contents.html";
    QTest::newRow("Fichier menu open") << "&Fichier" << "writing.html";
    QTest::newRow("Questionnaire menu open") << "&Questionnaire" << "running.html";
    QTest::newRow("Utilitaires menu open") << "&Utilitaires" << "accessories.html";
    QTest::newRow("Aide menu open") << "&Aide" << "usinghelp.html";
}

void TestAccessibility::helpKey()
{
    QFETCH(QString, openMenu);
    QFETCH(QString, page);
    HelpWindow *help = program->workspace.mainForm.helpWindow();
    help->hide();
    help->browser()->setSource(QUrl(QStringLiteral("results.html")));
    QWidget *receiver = program->workspace.sheet->Edit1;
    receiver->setFocus();
    if (!openMenu.isEmpty()) {
        QMenu *opened = menu(openMenu);
        QVERIFY(opened);
        opened->popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(opened));
        receiver = opened;
    }
    QTest::keyClick(receiver, Qt::Key_F1);
    QVERIFY(help->isVisible());
    QCOMPARE(help->currentPage(), page);
    QVERIFY(!QApplication::activePopupWidget());
    // The title box never saw the key.
    QCOMPARE(program->workspace.sheet->Edit1->text(), QString());
    help->hide();
}

// The free text is shown to the person answering before the answer: the help must not invite
// authors to write the explanation there.
void TestAccessibility::helpSaysWhoReadsTheFreeText()
{
    HelpWindow *help = program->workspace.mainForm.helpWindow();
    help->showSearch();
    help->searchBox()->clear();
    QTest::keyClicks(help->searchBox(), QStringLiteral("Texte libre"));
    QTest::keyClick(help->searchBox(), Qt::Key_Return);
    QCOMPARE(help->currentPage(), QStringLiteral("writing.html"));
    const QString page = help->browser()->toPlainText();
    QVERIFY(page.contains(QStringLiteral("avant qu'elle réponde")));
    QVERIFY(!page.contains(QStringLiteral("une explication, une consigne")));
    help->hide();
}

void TestAccessibility::focusComesBackAfterAModalWindow_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("command");
    QTest::newRow("free text, calendar") << 0 << "&Calendrier";
    QTest::newRow("answer 3, calculator") << 3 << "C&alculatrice";
    QTest::newRow("right answer, clock") << 6 << "&Horloge";
    QTest::newRow("answer 5, about box") << 5 << "&A propos...";
}

void TestAccessibility::focusComesBackAfterAModalWindow()
{
    QFETCH(int, field);
    QFETCH(QString, command);
    TPlanche &sheet = *program->workspace.sheet;
    QWidget *had = field == 0 ? static_cast<QWidget *>(sheet.Memo1)
        : field == 6          ? static_cast<QWidget *>(sheet.SpinEdit1)
                              : sheet.answerEdits[size_t(field - 1)];
    had->setFocus();
    QCOMPARE(QApplication::focusWidget(), had);
    QAction *item = nullptr;
    for (QAction *action : program->workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == command)
            item = action;
    }
    QVERIFY(item);
    bool closed = false;
    QTimer::singleShot(0, this, [&closed] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            // Whatever the window did with the focus meanwhile.
            modal->setFocus();
            QTest::keyClick(modal, Qt::Key_Escape);
            closed = true;
        }
    });
    item->trigger();
    QVERIFY(closed);
    QTRY_COMPARE(QApplication::focusWidget(), had);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
