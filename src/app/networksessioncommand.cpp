#include "app/networksessioncommand.h"

#include "app/classroomcommands.h"
#include "classroom/classlist.h"
#include "classroom/network/livecontrolwindow.h"
#include "classroom/network/livepacing.h"
#include "classroom/network/networksession.h"
#include "classroom/network/networksessionwindow.h"
#include "classroom/network/projectorwindow.h"
#include "classroom/network/servedsession.h"
#include "classroom/network/sessionjournal.h"
#include "classroom/network/sessionservermodule.h"
#include "document/classsettings.h"
#include "document/picturelocation.h"
#include "platform/apperror.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "platform/systemclock.h"
#include "results/resultsrunkeeper.h"

#include <QDir>
#include <QFileInfo>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(NetworkSessionCommand)
};

// Runs the session of the journal at `journal`, or a new one begun there, until its window
// closes; then tells the teacher where the runs went.
void serve(const ClassroomCommands &commands, const QString &journal, const QString &resultsPath,
           NetworkSessionStart *start, Services &services, QWidget *parent)
{
    const SystemClock &clock = services.clock;
    auto now = [&clock] { return clock.now(); };
    // The runs are kept against the questionnaire the session began with, which a resumed
    // session takes from its journal.
    const QStringList lines = start ? start->lines : NetworkSession::look(journal).start.lines;
    ResultsRunKeeper keeper(std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines)), resultsPath);
    std::unique_ptr<NetworkSession> session = start ? NetworkSession::begin(journal, *start, keeper, now)
                                                    : NetworkSession::resume(journal, keeper, now);
    ServedSession served(std::move(session), services.pictures);
    const ClassListStore classLists(commands.classListFolder());
    // Made before the windows that show it, gone after them.
    std::unique_ptr<LivePacing> pacing = served.session().live() ? std::make_unique<LivePacing>(served.session()) : nullptr;
    NetworkSessionWindow window(served, classLists, services, parent);
    // Live, the projector and the teacher's commands go with the session window: children of
    // it, so that its modality leaves them usable, and gone with it.
    if (pacing) {
        window.setWindowTitle(Text::tr("Passation en direct"));
        auto *projector = new ProjectorWindow(*pacing, &served.pictures(), [&served] { return served.pageAddress(); },
                                              &window);
        QObject::connect(window.AddressBox, &QComboBox::currentIndexChanged, projector, &ProjectorWindow::refresh);
        auto *controls = new LiveControlWindow(*pacing, services, [&window] { window.EndButton->click(); }, &window);
        projector->setKeyHandler([controls](int key) { return controls->pressKey(key); });
        QObject::connect(&window, &QDialog::finished, projector, &QWidget::close);
        QObject::connect(&window, &QDialog::finished, controls, &QWidget::close);
        QTimer::singleShot(0, &window, [projector, controls] {
            projector->place();
            controls->show();
            controls->raise();
            controls->activateWindow();
        });
    }
    window.exec();

    for (const QString &notice : keeper.notices())
        services.boxes.warn(notice);
    const NetworkSession &ended = served.session();
    if (ended.ended() && ended.unkeptCount() == 0 && ended.pupilCount() > 0)
        services.boxes.inform(Text::tr("Les copies de la passation sont enregistrées dans %1.")
                                  .arg(QDir::toNativeSeparators(keeper.resultsPath())));
}

} // namespace

void NetworkSessionCommand::run(ClassroomCommands &commands, const QString &fileName, const QStringList &document,
                                Services &services, QWidget *parent, bool live)
{
    const std::optional<ClassroomCommands::ClassToRun> toRun = commands.prepare(fileName, document);
    if (!toRun)
        return;
    // The teacher paces one question for the whole class: a draw would leave some pupils without it.
    if (live && ClassSettingsFormat::read(document).draw != ClassSettings::Draw::None) {
        throw AppError(tr("Une passation en direct montre la même question à toute la classe : elle ne peut pas "
                          "suivre un tirage. Choisissez « Toutes les questions » dans les réglages de la passation."));
    }
    // The server's module first: when it is missing the teacher is told so before any journal
    // is begun, rather than offered next time to resume a session that never served anyone.
    loadSessionNetworking();
    const QString journal = SessionJournal::pathFor(QFileInfo(toRun->resultsPath).absolutePath(), fileName);

    if (SessionJournal::exists(journal)) {
        const NetworkSession::Found found = NetworkSession::look(journal);
        if (!found.ended) {
            const QString begun = found.start.live
                                      ? tr("Une passation en direct de ce questionnaire a été interrompue (commencée le %1, %2).\n")
                                      : tr("Une passation sur le réseau de ce questionnaire a été interrompue (commencée le %1, %2).\n");
            const QString question =
                (begun + tr("Oui : la reprendre où elle en était ; les pages des élèves la retrouvent.\n"
                            "Non : enregistrer ses copies comme inachevées et commencer une nouvelle passation."))
                    .arg(QLocale().toString(found.start.started, QStringLiteral("dd/MM/yyyy 'à' HH:mm")),
                         found.pupils <= 1 ? tr("%1 élève").arg(found.pupils) : tr("%1 élèves").arg(found.pupils));
            switch (services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNoCancel)) {
            case MessageAnswer::Yes:
                serve(commands, journal, toRun->resultsPath, nullptr, services, parent);
                return;
            case MessageAnswer::No:
                break;
            default:
                return;
            }
        }
        // Its runs are kept before anything else begins: an ended session whose runs could not
        // all be kept, or one the teacher chose not to resume.
        ResultsRunKeeper keeper(std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(found.start.lines)),
                                toRun->resultsPath);
        const SystemClock &clock = services.clock;
        auto old = NetworkSession::resume(journal, keeper, [&clock] { return clock.now(); });
        const QStringList problems = old->ended() ? old->keepRemaining() : old->end();
        for (const QString &notice : keeper.notices())
            services.boxes.warn(notice);
        if (!problems.isEmpty()) {
            throw AppError(tr("Les copies de la passation précédente n'ont pas pu être toutes enregistrées : %1\n"
                              "Elles restent dans %2.")
                               .arg(problems.join(QStringLiteral(" ; ")), QDir::toNativeSeparators(journal)));
        }
    }

    NetworkSessionStart start;
    start.lines = document;
    start.questionnairePath = QFileInfo(fileName).absoluteFilePath();
    start.pictureFolder = PictureLocation::folderOf(fileName);
    start.live = live;
    serve(commands, journal, toRun->resultsPath, &start, services, parent);
}
