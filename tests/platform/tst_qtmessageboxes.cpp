#include "platform/qtmessageboxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

// The real boxes, answered by clicking their French buttons from a timer.
class TestQtMessageBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Nelo Qcm")); }
    void answers_data();
    void answers();
    void opensOverTheModalWindowInFront();
    void informativeTextShownAsWritten();
    void enterGivesTheDefaultAnswer_data();
    void enterGivesTheDefaultAnswer();
};

void TestQtMessageBoxes::answers_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("caption");
    QTest::newRow("OK/Annuler, OK") << int(MessageIcon::Warning) << int(MessageButtons::OkCancel)
                                    << QStringList{"OK", "Annuler"} << "OK" << int(MessageAnswer::Ok) << "Avertissement";
    QTest::newRow("OK/Annuler, Annuler") << int(MessageIcon::Warning) << int(MessageButtons::OkCancel)
                                         << QStringList{"OK", "Annuler"} << "Annuler" << int(MessageAnswer::Cancel)
                                         << "Avertissement";
    QTest::newRow("Oui/Non/Annuler, Non") << int(MessageIcon::Question) << int(MessageButtons::YesNoCancel)
                                          << QStringList{"&Oui", "&Non", "Annuler"} << "&Non" << int(MessageAnswer::No)
                                          << "Nelo Qcm";
    QTest::newRow("stop box, OK") << int(MessageIcon::Stop) << int(MessageButtons::Ok) << QStringList{"OK"} << "OK"
                                  << int(MessageAnswer::Ok) << "Nelo Qcm";
}

void TestQtMessageBoxes::answers()
{
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QStringList, texts);
    QFETCH(QString, clicked);
    QFETCH(int, answer);
    QFETCH(QString, caption);
    QStringList seen;
    QString seenCaption;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenCaption = box->windowTitle();
        QAbstractButton *target = nullptr;
        for (QAbstractButton *button : box->buttons()) {
            seen << button->text();
            if (button->text() == clicked)
                target = button;
        }
        if (target)
            target->click();
    });
    QtMessageBoxes boxes;
    const MessageAnswer got = boxes.show(MessageIcon(icon), QStringLiteral("Ce fichier existe déjà"), MessageButtons(buttons));
    std::sort(seen.begin(), seen.end());
    std::sort(texts.begin(), texts.end());
    QCOMPARE(seen, texts);
    QCOMPARE(seenCaption, caption);
    QCOMPARE(int(got), answer);
}

// A box raised from the maximised runner must not open behind it, over the main window.
void TestQtMessageBoxes::opensOverTheModalWindowInFront()
{
    QWidget mainWindow;
    mainWindow.show();
    QDialog runner(&mainWindow);
    QWidget *boxParent = nullptr;
    QTimer::singleShot(0, this, [&] {
        QtMessageBoxes boxes(&mainWindow);
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box) {
                boxParent = box->parentWidget();
                box->buttons().first()->click();
            }
        });
        boxes.inform(QStringLiteral("Résultats enregistrés."));
        runner.accept();
    });
    runner.exec();
    QCOMPARE(boxParent, &runner);
}

// A question's title under the question: read as the author wrote it, markup characters included.
void TestQtMessageBoxes::informativeTextShownAsWritten()
{
    const QString title = QStringLiteral("Question 7 : 3 < 5 et <b>gras</b> & co");
    QString text;
    QString seen;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        QTextDocument shown;
        shown.setHtml(box->informativeText());
        seen = shown.toPlainText();
        box->buttons().first()->click();
    });
    QtMessageBoxes boxes;
    boxes.showInformative(MessageIcon::Warning, QStringLiteral("Remplacer ?"), title, MessageButtons::YesNoCancel);
    QCOMPARE(text, QStringLiteral("Remplacer ?"));
    QCOMPARE(seen, title);
}

void TestQtMessageBoxes::enterGivesTheDefaultAnswer_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultAnswer"); // -1: the usual first button
    QTest::addColumn<int>("answer");
    QTest::newRow("Oui/Non: Oui first") << int(MessageButtons::YesNo) << -1 << int(MessageAnswer::Yes);
    QTest::newRow("Oui/Non: Non when Oui would overwrite") << int(MessageButtons::YesNo) << int(MessageAnswer::No)
                                                           << int(MessageAnswer::No);
    QTest::newRow("Oui/Non/Annuler: Annuler") << int(MessageButtons::YesNoCancel) << int(MessageAnswer::Cancel)
                                              << int(MessageAnswer::Cancel);
    QTest::newRow("OK/Annuler: OK first") << int(MessageButtons::OkCancel) << -1 << int(MessageAnswer::Ok);
    QTest::newRow("an answer the box lacks: its first button") << int(MessageButtons::OkCancel) << int(MessageAnswer::No)
                                                               << int(MessageAnswer::Ok);
}

void TestQtMessageBoxes::enterGivesTheDefaultAnswer()
{
    QFETCH(int, buttons);
    QFETCH(int, defaultAnswer);
    QFETCH(int, answer);
    QTimer::singleShot(0, this, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Return);
    });
    QtMessageBoxes boxes;
    const QString text = QStringLiteral("Le fichier a été modifié par un autre programme. L'enregistrer quand même ?");
    const MessageAnswer got = defaultAnswer < 0
        ? boxes.show(MessageIcon::Warning, text, MessageButtons(buttons))
        : boxes.showWithDefault(MessageIcon::Warning, text, MessageButtons(buttons), MessageAnswer(defaultAnswer));
    QCOMPARE(int(got), answer);
}

QTEST_MAIN(TestQtMessageBoxes)
#include "tst_qtmessageboxes.moc"
