// The windows of a live run, driven as the teacher does: the control bar offers what the pace
// allows, its keys step through a question, the teacher's lists name who has not answered, and
// the projector never shows a name or a control.
#include "classroom/network/livechart.h"
#include "classroom/network/livecontrolwindow.h"
#include "classroom/network/livepacing.h"
#include "classroom/network/networksession.h"
#include "classroom/network/projectorwindow.h"
#include "networktesting.h"
#include "scriptedservices.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace NetworkTesting;

class TestLiveWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlBarFollowsThePace_data();
    void controlBarFollowsThePace();
    void teachersListsNameWhoHasNotAnswered();
    void projectorShowsNoNameAndNoControl();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ListKeeper m_keeper;
    StepClock m_clock;
    std::unique_ptr<NetworkSession> m_session;
    std::unique_ptr<LivePacing> m_pacing;
};

void TestLiveWindows::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    NetworkSessionStart start;
    start.lines = questionnaire(2);
    start.classPupils = QStringList{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")};
    start.live = true;
    m_session = NetworkSession::begin(m_dir->filePath(QStringLiteral("quiz-reseau.journal")), start, m_keeper,
                                      m_clock.function());
    m_pacing = std::make_unique<LivePacing>(*m_session);
}

void TestLiveWindows::cleanup()
{
    m_pacing.reset();
    m_session.reset();
}

void TestLiveWindows::controlBarFollowsThePace_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("enabled"); // Next, Answers, Right: 1 or 0

    QTest::newRow("waiting") << QList<int>{} << "100";
    // The teacher may move on without showing anything.
    QTest::newRow("first question open") << QList<int>{Qt::Key_PageDown} << "111";
    QTest::newRow("its answers shown") << QList<int>{Qt::Key_PageDown, Qt::Key_Space} << "101";
    QTest::newRow("its right answer shown") << QList<int>{Qt::Key_PageDown, Qt::Key_Space, Qt::Key_Right} << "100";
    // The last question has no right answer to show, and nothing follows it.
    QTest::newRow("last question open") << QList<int>(4, Qt::Key_PageDown) << "010";
    QTest::newRow("last question's answers") << QList<int>(5, Qt::Key_PageDown) << "000";
}

void TestLiveWindows::controlBarFollowsThePace()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, enabled);
    ScriptedServices scripted;
    LiveControlWindow window(*m_pacing, scripted.services, {});
    window.show();
    for (int key : keys)
        QTest::keyClick(&window, Qt::Key(key));
    const QString seen = QString::number(window.NextButton->isEnabled()) + QString::number(window.AnswersButton->isEnabled())
                         + QString::number(window.RightButton->isEnabled());
    QCOMPARE(seen, enabled);
}

void TestLiveWindows::teachersListsNameWhoHasNotAnswered()
{
    ScriptedServices scripted;
    LiveControlWindow window(*m_pacing, scripted.services, {});
    const QString bob = m_session->join(QStringLiteral("MARTIN Bob")).token;
    m_session->join(QStringLiteral("ROUX Dan"));
    QTest::mouseClick(window.NextButton, Qt::LeftButton);
    QCOMPARE(m_session->answer(*m_session->pupilFor(bob), 0, 1, 1), NetworkSession::Refusal::None);

    QCOMPARE(window.MissingList->count(), 1);
    QCOMPARE(window.MissingList->item(0)->text(), QStringLiteral("ROUX Dan"));
    QStringList presence;
    for (int row = 0; row < window.PresenceList->count(); ++row)
        presence << window.PresenceList->item(row)->text();
    QCOMPARE(presence, (QStringList{"✘ DURAND Ann – absent", "✔ MARTIN Bob – connecté", "✔ ROUX Dan – connecté"}));
}

void TestLiveWindows::projectorShowsNoNameAndNoControl()
{
    ProjectorWindow projector(*m_pacing, nullptr, [] { return QStringLiteral("http://127.0.0.1:8080/"); });
    projector.show();
    m_session->join(QStringLiteral("MARTIN Bob"));
    for (int step = 0; step < 3; ++step) {
        m_pacing->stepForward();
        for (const QLabel *label : projector.findChildren<QLabel *>())
            QVERIFY2(!label->text().contains(QStringLiteral("MARTIN")), qPrintable(label->text()));
        QVERIFY(projector.findChildren<QAbstractButton *>().isEmpty());
    }
    QVERIFY(projector.AnsweredLabel->text().contains(QStringLiteral("0 / 1")));
    QVERIFY(projector.Chart->isVisible());
    QVERIFY(projector.Chart->accessibleDescription().contains(QStringLiteral("bonne réponse")));
}

QTEST_MAIN(TestLiveWindows)
#include "tst_livewindows.moc"
