#include "classroom/classlist.h"
#include "classroom/network/networksession.h"
#include "classroom/network/networksessionwindow.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessiontablemodel.h"
#include "networktesting.h"
#include "scriptedservices.h"
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <QTemporaryDir>
using namespace NetworkTesting;
int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir; ScriptedServices scripted; ListKeeper keeper; StepClock clock;
    ClassListStore lists(dir.filePath("classes"));
    lists.save("4e B", {"DURAND Ann", "MARTIN Bob"});
    NetworkSessionStart start; start.lines = questionnaire(12, true); start.address = "127.0.0.1";
    ServedSession served(NetworkSession::begin(dir.filePath("j.journal"), start, keeper, clock.function()), scripted.pictures);
    NetworkSessionWindow window(served, lists, scripted.services);
    const char *names[] = {"DURAND Ann", "MARTIN Bob", "LEROY Chloé", "PETIT Denis", "MOREAU Élodie", "SIMON Farid"};
    for (int i = 0; i < 6; ++i) {
        NetworkPupil &p = *served.session().pupilFor(served.session().join(names[i]).token);
        for (int q = 0; q < 2 * i && q < 12; ++q) served.session().answer(p, q, 1 + (q + i) % 4, q + 1);
        if (i % 2 == 1) served.session().finish(p);
    }
    window.ShowMarksBox->setChecked(argc > 2);
    window.resize(1366, 768);
    window.show();
    // The table tells its changes a few times a second: the picture waits for the last of them.
    QEventLoop settle;
    QTimer::singleShot(2 * SessionTableModel::RefreshMs, &settle, &QEventLoop::quit);
    settle.exec();
    window.grab().save(argv[1]);
}
