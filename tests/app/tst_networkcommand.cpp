// "Passation sur le réseau..." from the main window: a session interrupted before is offered
// again (resumed, or its runs kept as unfinished before a new one), and every run lands in the
// questionnaire's results file.
#include "app/mainform.h"
#include "app/workspace.h"
#include "classroom/network/networksession.h"
#include "classroom/network/networksessionwindow.h"
#include "classroom/network/sessionjournal.h"
#include "classroom/network/sessiontablemodel.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "editor/planche.h"
#include "results/resultsfile.h"
#include "scriptedservices.h"
#include "whenshown.h"

#include <QAction>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList questionnaireLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << QcmFormat::openingTag(i) << QStringLiteral("TITLE Titre %1").arg(i + 1) << QStringLiteral("PICTURE ");
        for (int a = 1; a <= 5; ++a)
            lines << QcmFormat::answerKeyword(a) + QStringLiteral("%1-%2").arg(i + 1).arg(a);
        lines << QStringLiteral("REPONSE 2") << QcmFormat::closingTag(i);
    }
    return lines;
}

struct NoKeeper : ClassRunKeeper
{
    QString keep(const ClassRunRecord &) override { throw AppError(QStringLiteral("pas ici")); }
};

struct Program : ScriptedServices
{
    Workspace workspace{services};

    void trigger(const QString &text)
    {
        for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
            if (action->text() == text) {
                QVERIFY(action->isEnabled());
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable(text));
    }
};

} // namespace

class TestNetworkCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void interruptedSessionOffered_data();
    void interruptedSessionOffered();
};

void TestNetworkCommand::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestNetworkCommand::interruptedSessionOffered_data()
{
    QTest::addColumn<int>("answer");        // to "reprendre ?"
    QTest::addColumn<int>("rowsShown");     // in the window that opens; -1: none opens
    QTest::addColumn<QStringList>("kept");  // states in the results file afterwards
    QTest::newRow("resumed") << int(MessageAnswer::Yes) << 1 << QStringList{};
    QTest::newRow("kept, then a new one") << int(MessageAnswer::No) << 0 << QStringList{"inachevé"};
    QTest::newRow("left for later") << int(MessageAnswer::Cancel) << -1 << QStringList{};
}

void TestNetworkCommand::interruptedSessionOffered()
{
    QFETCH(int, answer);
    QFETCH(int, rowsShown);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quiz.qcm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QcmText::encodeLines(questionnaireLines(2)));
    file.close();

    // A session the program left in the middle: Léa had answered the first question.
    const QString journal = SessionJournal::pathFor(dir.path(), path);
    {
        NoKeeper keeper;
        NetworkSessionStart start;
        start.lines = questionnaireLines(2);
        auto session = NetworkSession::begin(journal, start, keeper, [] { return QDateTime::currentDateTime(); });
        NetworkPupil &lea = *session->pupilFor(session->join(QStringLiteral("Léa")).token);
        session->answer(lea, 0, 2, 1);
    }

    Program program;
    program.workspace.mainForm.openNamedQuestionnaire(path);
    program.boxes.script(MessageAnswer(answer));
    int rows = -1;
    whenModal<NetworkSessionWindow>([&rows](NetworkSessionWindow *window) {
        rows = window->model()->rowCount();
        if (rows == 1)
            QCOMPARE(window->model()->data(window->model()->index(0, SessionTableModel::AnsweredColumn)).toString(),
                     QStringLiteral("1 / 2"));
        window->close();
    });
    // Closed without ending: interrupted again, for later.
    program.boxes.script(MessageAnswer::No);
    program.trigger(QStringLiteral("&Passation sur le réseau..."));
    QCOMPARE(rows, rowsShown);

    const QString results = ResultsFile::pathFor(dir.path(), path);
    QStringList states;
    if (QFile::exists(results)) {
        for (const QStringList &run : ResultsFile::read(results).runs) {
            QCOMPARE(run.at(ResultsFile::NameColumn), QStringLiteral("Léa"));
            QCOMPARE(run.at(ResultsFile::WayColumn), QStringLiteral("réseau"));
            QCOMPARE(run.mid(ResultsFile::FixedColumnCount), (QStringList{"2", ""}));
            states << run.at(ResultsFile::StateColumn);
        }
    }
    QCOMPARE(states, kept);
    // A journal waits for the next time in every case: the resumed or the new session's.
    QVERIFY(SessionJournal::exists(journal));
    QCOMPARE(NetworkSession::look(journal).pupils, rowsShown == 0 ? 0 : 1);
}

QTEST_MAIN(TestNetworkCommand)
#include "tst_networkcommand.moc"
