// The session window: what pupils need to join, the class live as pupils act, marks hidden
// until shown, "Terminer la passation", and closing before the end (ended, interrupted to be
// resumed, or not closed at all).
#include "classroom/classlist.h"
#include "classroom/network/networksession.h"
#include "classroom/network/networksessionwindow.h"
#include "classroom/network/qrcodeview.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessiontablemodel.h"
#include "networktesting.h"
#include "scriptedservices.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace NetworkTesting;

namespace {

struct Room
{
    QTemporaryDir dir;
    ScriptedServices scripted;
    ListKeeper keeper;
    StepClock clock;
    ClassListStore lists{dir.filePath(QStringLiteral("classes"))};
    std::unique_ptr<ServedSession> served;
    std::unique_ptr<NetworkSessionWindow> window;

    explicit Room(const QStringList &lines = questionnaire(3))
    {
        lists.save(QStringLiteral("4e B"), {QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")});
        NetworkSessionStart start;
        start.lines = lines;
        start.address = QStringLiteral("127.0.0.1"); // the window opens at the session's address
        served = std::make_unique<ServedSession>(
            NetworkSession::begin(journal(), start, keeper, clock.function()), scripted.pictures);
        window = std::make_unique<NetworkSessionWindow>(*served, lists, scripted.services);
    }

    QString journal() const { return dir.filePath(QStringLiteral("quiz-reseau.journal")); }
    NetworkSession &session() { return served->session(); }
    QString cell(int row, int column) const
    {
        return window->model()->data(window->model()->index(row, column)).toString();
    }
};

} // namespace

class TestNetworkWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsWhatPupilsNeed();
    void classLive();
    void answersToldTogether();
    void endKeepsEveryRun();
    void closingBeforeTheEnd_data();
    void closingBeforeTheEnd();
    void statisticsOfTheSession();
    void qrCodeIsAQrCode();
    void correctionsShownByTheTeacher();
    void takeOverAnsweredInTheTable_data();
    void takeOverAnsweredInTheTable();
    void rowsRemovedAndMerged_data();
    void rowsRemovedAndMerged();
    void personalCodesPrintedThenAsked_data();
    void personalCodesPrintedThenAsked();
};

void TestNetworkWindow::correctionsShownByTheTeacher()
{
    Room room(QStringList{QStringLiteral("PASSATION corrections=fin-passation")} + questionnaire(3));
    room.window->show();
    QVERIFY(room.window->ShowCorrectionsButton->isVisible());
    QVERIFY(room.window->SettingsLabel->text().contains(QStringLiteral("les corrections à la fin de la passation")));
    room.scripted.boxes.script(MessageAnswer::No);
    QTest::mouseClick(room.window->ShowCorrectionsButton, Qt::LeftButton);
    QVERIFY(room.scripted.boxes.lastText().startsWith(QStringLiteral("Montrer les corrections aux élèves qui ont terminé ?")));
    QVERIFY(!room.session().correctionsReleased());
    room.scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(room.window->ShowCorrectionsButton, Qt::LeftButton);
    QVERIFY(room.session().correctionsReleased());
    QVERIFY(!room.window->ShowCorrectionsButton->isEnabled());
}

void TestNetworkWindow::showsWhatPupilsNeed()
{
    Room room;
    QVERIFY(room.served->listening());
    const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(room.served->port());
    QCOMPARE(room.window->AddressLabel->text(), address);
    const QString code = room.session().start().code;
    QCOMPARE(room.window->CodeLabel->text(), QStringLiteral("Code : %1 %2").arg(code.left(3), code.mid(3)));
    QVERIFY(!room.window->QrView->code().isNull());
    QCOMPARE(room.window->QrView->code().size, QrCode::encode((address + QLatin1Char('#') + code).toUtf8()).size);
    QVERIFY(room.window->SettingsLabel->text().contains(QStringLiteral("voit sa note et les corrections après sa copie")));
    QVERIFY(room.window->ShowCorrectionsButton->isHidden());
    // The class list chosen goes to the session, for the pupils' pages.
    room.window->ClassBox->setCurrentIndex(room.window->ClassBox->findText(QStringLiteral("4e B")));
    QCOMPARE(room.session().start().classPupils, (QStringList{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")}));
    room.window->ClassBox->setCurrentIndex(0);
    QVERIFY(room.session().start().classPupils.isEmpty());
}

void TestNetworkWindow::classLive()
{
    Room room;
    NetworkPupil &ann = *room.session().pupilFor(room.session().join(QStringLiteral("DURAND Ann")).token);
    room.session().join(QStringLiteral("MARTIN Bob"));
    QCOMPARE(room.window->model()->rowCount(), 2);
    QCOMPARE(room.cell(0, SessionTableModel::NameColumn), QStringLiteral("DURAND Ann"));
    room.session().answer(ann, 0, 1, 1);
    room.session().answer(ann, 1, 1, 2);
    QCOMPARE(room.cell(0, SessionTableModel::AnsweredColumn), QStringLiteral("2 / 3"));
    QCOMPARE(room.cell(0, SessionTableModel::StateColumn), QStringLiteral("en cours"));
    QCOMPARE(room.cell(0, SessionTableModel::MarkColumn), QString());
    room.session().finish(ann);
    QCOMPARE(room.cell(0, SessionTableModel::StateColumn), QStringLiteral("terminé"));
    // The screen may be the class's projector: the mark waits for the teacher.
    QCOMPARE(room.cell(0, SessionTableModel::MarkColumn), QStringLiteral("•••"));
    room.window->ShowMarksBox->setChecked(true);
    QCOMPARE(room.cell(0, SessionTableModel::MarkColumn), QStringLiteral("10 / 20"));
    QCOMPARE(room.cell(1, SessionTableModel::MarkColumn), QString());
    // Told with the table's next refresh.
    QTRY_COMPARE(room.window->SummaryLabel->text(), QStringLiteral("2 élèves, 1 a terminé"));
}

void TestNetworkWindow::answersToldTogether()
{
    Room room;
    std::vector<NetworkPupil *> pupils;
    for (const QString &name : {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Chloé")})
        pupils.push_back(room.session().pupilFor(room.session().join(name).token));
    QSignalSpy changed(room.window->model(), &QAbstractItemModel::dataChanged);
    // A burst of answers from the first and the last pupil: the table is told once, later.
    qint64 seq = 0;
    for (int round = 0; round < 20; ++round) {
        for (NetworkPupil *pupil : {pupils[0], pupils[2]})
            room.session().answer(*pupil, round % 3, 1 + round % 2, ++seq);
    }
    QCOMPARE(changed.size(), 0);
    QTRY_COMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex().row(), 0);
    QCOMPARE(changed[0][1].toModelIndex().row(), 2);
    QCOMPARE(room.cell(2, SessionTableModel::AnsweredColumn), QStringLiteral("3 / 3"));
    QTest::qWait(2 * SessionTableModel::RefreshMs);
    QCOMPARE(changed.size(), 1);
    // A pupil who joins has their row at once.
    room.session().join(QStringLiteral("Dan"));
    QCOMPARE(room.window->model()->rowCount(), 4);
}

void TestNetworkWindow::endKeepsEveryRun()
{
    Room room;
    NetworkPupil &ann = *room.session().pupilFor(room.session().join(QStringLiteral("Ann")).token);
    room.session().join(QStringLiteral("Bob"));
    room.session().finish(ann);
    room.keeper.refuse = true;
    room.scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(room.window->EndButton, Qt::LeftButton);
    QVERIFY(room.session().ended());
    QVERIFY(room.window->MessageLabel->text().contains(QStringLiteral("1 copie n'a pas pu être enregistrée")));
    QCOMPARE(room.window->EndButton->text(), QStringLiteral("&Réessayer l'enregistrement"));
    QCOMPARE(room.cell(1, SessionTableModel::StateColumn), QStringLiteral("inachevé (pas encore enregistré)"));
    room.keeper.refuse = false;
    QTest::mouseClick(room.window->EndButton, Qt::LeftButton);
    QCOMPARE(room.keeper.kept.size(), size_t(2));
    QVERIFY(!room.window->EndButton->isEnabled());
    QCOMPARE(room.cell(1, SessionTableModel::StateColumn), QStringLiteral("inachevé"));
    QVERIFY(!QFile::exists(room.journal()));
    QVERIFY(room.window->close());
    QCOMPARE(room.scripted.boxes.unexpected(), 0);
}

void TestNetworkWindow::closingBeforeTheEnd_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("ended");
    QTest::newRow("end it") << int(MessageAnswer::Yes) << true << true;
    QTest::newRow("interrupt it") << int(MessageAnswer::No) << true << false;
    QTest::newRow("go on") << int(MessageAnswer::Cancel) << false << false;
}

void TestNetworkWindow::closingBeforeTheEnd()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, ended);
    Room room;
    room.session().join(QStringLiteral("Ann"));
    room.window->show();
    room.scripted.boxes.script(MessageAnswer(answer));
    QTest::keyClick(room.window.get(), Qt::Key_Escape);
    QCOMPARE(room.window->isVisible(), !closed);
    QCOMPARE(room.session().ended(), ended);
    QCOMPARE(room.served->listening(), !closed);
    QCOMPARE(room.keeper.kept.size(), size_t(ended ? 1 : 0));
    // Interrupted, every answer waits in the journal for the next opening.
    QCOMPARE(QFile::exists(room.journal()), !ended);
}

void TestNetworkWindow::statisticsOfTheSession()
{
    Room room;
    int joined = 0;
    for (int choice : {1, 2, 1}) {
        NetworkPupil &pupil = *room.session().pupilFor(room.session().join(QStringLiteral("P%1").arg(++joined)).token);
        room.session().answer(pupil, 0, choice, 1);
        room.session().finish(pupil);
    }
    QTest::mouseClick(room.window->StatisticsButton, Qt::LeftButton);
    auto *dialog = room.window->findChild<QDialog *>(QStringLiteral("SessionStatistics"));
    QVERIFY(dialog);
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("StatisticsTable"));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("67 %"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("0 %"));
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("non notée"));
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("StatisticsSummary"))->text().startsWith(QStringLiteral("3 copies. Moyenne 6,67")));
}

void TestNetworkWindow::qrCodeIsAQrCode()
{
    const QrCode code = QrCode::encode("http://192.168.100.200:8080/#123456");
    // 35 bytes at the medium level take version 3: 29 modules a side.
    QCOMPARE(code.size, 29);
    // The three finder patterns: a dark ring, a light ring, a dark 3 by 3 core.
    for (const QPoint corner : {QPoint(0, 0), QPoint(22, 0), QPoint(0, 22)}) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                const bool ring = x == 0 || y == 0 || x == 6 || y == 6;
                const bool core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
                QCOMPARE(code.isDark(corner.x() + x, corner.y() + y), ring || core);
            }
        }
    }
    QVERIFY(QrCode::encode(QByteArray()).isNull());
    QVERIFY(QrCode::encode(QByteArray(5000, 'x')).isNull()); // past what a code holds
}

QTEST_MAIN(TestNetworkWindow)
#include "tst_networkwindow.moc"

void TestNetworkWindow::takeOverAnsweredInTheTable_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Reprendre sur cet appareil") << true;
    QTest::newRow("Refuser") << false;
}

void TestNetworkWindow::takeOverAnsweredInTheTable()
{
    QFETCH(bool, accepted);
    Room room;
    const QString first = room.session().join(QStringLiteral("NGUYEN Hugo")).token;
    room.session().answer(*room.session().pupilFor(first), 0, 1, 1);
    const QString second = room.session().join(QStringLiteral("NGUYEN Hugo")).token;
    // The request is a row of the table, with its two answers, and no box over the class.
    QCOMPARE(room.window->model()->rowCount(), 2);
    QCOMPARE(room.cell(1, SessionTableModel::NameColumn), QStringLiteral("NGUYEN Hugo : un autre appareil demande cette copie"));
    QCOMPARE(room.cell(1, SessionTableModel::AnsweredColumn), QStringLiteral("1 / 3"));
    QVERIFY(room.window->SummaryLabel->text().endsWith(QStringLiteral(" ; 1 demande attend votre réponse")));
    QWidget *buttons = room.window->PupilTable->indexWidget(room.window->model()->index(1, SessionTableModel::NameColumn));
    QVERIFY(buttons);
    auto *take = buttons->findChild<QPushButton *>(QStringLiteral("TakeOverButton"));
    auto *refuse = buttons->findChild<QPushButton *>(QStringLiteral("RefuseButton"));
    QVERIFY(take && refuse);
    QCOMPARE(take->text(), QStringLiteral("Reprendre sur cet appareil"));
    // Both answers are reached with the keyboard: Shift+Tab from "Refuser" comes to the other.
    room.window->show();
    QVERIFY(QTest::qWaitForWindowActive(room.window.get()));
    refuse->setFocus();
    if (accepted)
        QTest::keyClick(refuse, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), accepted ? take : refuse);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(room.window->model()->rowCount(), 1);
    QCOMPARE(room.session().pupilFor(second) != nullptr, accepted);
    QCOMPARE(room.session().pupilFor(first) != nullptr, !accepted);
    QCOMPARE(room.window->SummaryLabel->text(), QStringLiteral("1 élève, 0 a terminé"));
    QCOMPARE(room.scripted.boxes.shown().size(), 0);
}

void TestNetworkWindow::rowsRemovedAndMerged_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("states");
    QTest::addColumn<int>("kept"); // runs in the results afterwards
    QTest::newRow("remove, confirmed") << "RemoveButton" << int(MessageAnswer::Yes)
                                       << QStringList{"retirée", "en cours"} << 1;
    QTest::newRow("remove, not confirmed") << "RemoveButton" << int(MessageAnswer::No)
                                           << QStringList{"en cours", "en cours"} << 0;
    QTest::newRow("merge, keep the first") << "MergeButton" << int(MessageAnswer::Yes)
                                           << QStringList{"en cours", "retirée"} << 1;
    QTest::newRow("merge, keep the second") << "MergeButton" << int(MessageAnswer::No)
                                            << QStringList{"retirée", "en cours"} << 1;
    QTest::newRow("merge, cancelled") << "MergeButton" << int(MessageAnswer::Cancel)
                                      << QStringList{"en cours", "en cours"} << 0;
}

void TestNetworkWindow::rowsRemovedAndMerged()
{
    QFETCH(QString, button);
    QFETCH(int, answer);
    QFETCH(QStringList, states);
    QFETCH(int, kept);
    Room room;
    room.session().join(QStringLiteral("NGUYEN Hugo"));
    room.session().join(QStringLiteral("Hugo Nguyen"));
    QTableView *table = room.window->PupilTable;
    QVERIFY(!room.window->RemoveButton->isEnabled() && !room.window->MergeButton->isEnabled());
    table->selectionModel()->select(room.window->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (button == QLatin1String("MergeButton"))
        table->selectionModel()->select(room.window->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    auto *pushed = room.window->findChild<QPushButton *>(button);
    QVERIFY(pushed->isEnabled());
    room.scripted.boxes.script(MessageAnswer(answer));
    QTest::mouseClick(pushed, Qt::LeftButton);
    QCOMPARE(room.scripted.boxes.unexpected(), 0);
    QCOMPARE((QStringList{room.cell(0, SessionTableModel::StateColumn), room.cell(1, SessionTableModel::StateColumn)}), states);
    QCOMPARE(int(room.keeper.kept.size()), kept);
    if (kept > 0)
        QVERIFY(room.keeper.kept.front().removed);
    QCOMPARE(room.window->SummaryLabel->text(), kept > 0 ? QStringLiteral("1 élève, 0 a terminé") : QStringLiteral("2 élèves, 0 a terminé"));
}

void TestNetworkWindow::personalCodesPrintedThenAsked_data()
{
    QTest::addColumn<bool>("printed");
    QTest::newRow("sheet printed") << true;
    QTest::newRow("print cancelled") << false;
}

void TestNetworkWindow::personalCodesPrintedThenAsked()
{
    QFETCH(bool, printed);
    Room room;
    QVERIFY(!room.window->CodesButton->isEnabled()); // no class list chosen
    room.window->ClassBox->setCurrentIndex(1);
    QVERIFY(room.window->CodesButton->isEnabled());
    const QString pdf = room.dir.filePath(QStringLiteral("codes.pdf"));
    room.scripted.printing.script(printed ? pdf : QString());
    room.scripted.boxes.script(MessageAnswer::Ok); // where the PDF went
    QTest::mouseClick(room.window->CodesButton, Qt::LeftButton);
    QCOMPARE(room.session().usesPersonalCodes(), printed);
    QCOMPARE(room.window->CodesLabel->isVisibleTo(room.window.get()), printed);
    if (!printed)
        return;
    // The codes exist only on the sheet: read back from it, each opens its pupil's copy.
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(10000));
    const QString sheet = QString::fromUtf8(text.readAllStandardOutput());
    const QRegularExpression line(QStringLiteral("(DURAND Ann|MARTIN Bob)\\s.*?\\b([A-Z2-9]{3} [A-Z2-9]{3})\\b"),
                                  QRegularExpression::DotMatchesEverythingOption);
    QStringList names;
    for (auto match = line.globalMatch(sheet); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const NetworkSession::Joined joined = room.session().joinByCode(found.captured(2));
        QCOMPARE(joined.refusal, NetworkSession::Refusal::None);
        QCOMPARE(room.session().pupil(joined.index).name, found.captured(1));
        names << found.captured(1);
    }
    QCOMPARE(names, (QStringList{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")}));
}
