#include "classroom/network/livecontrolwindow.h"

#include "classroom/network/livepacing.h"
#include "classroom/network/networksession.h"
#include "platform/errorguard.h"
#include "platform/services.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

LiveControlWindow::LiveControlWindow(LivePacing &pacing, Services &services, std::function<void()> endRun,
                                     QWidget *parent)
    : QWidget(parent, Qt::Window), m_pacing(pacing), m_services(services), m_endRun(std::move(endRun))
{
    setObjectName(QStringLiteral("LiveControlWindow"));
    setWindowTitle(tr("Passation en direct – commandes"));
    setFocusPolicy(Qt::StrongFocus);

    StepLabel = new QLabel(this);
    StepLabel->setObjectName(QStringLiteral("StepLabel"));
    QFont large = StepLabel->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    StepLabel->setFont(large);
    StepLabel->setWordWrap(true);
    TallyLabel = new QLabel(this);
    TallyLabel->setObjectName(QStringLiteral("TallyLabel"));
    TallyLabel->setWordWrap(true);
    TallyLabel->setTextFormat(Qt::PlainText);

    MissingCaption = new QLabel(this);
    MissingList = new QListWidget(this);
    MissingList->setObjectName(QStringLiteral("MissingList"));
    MissingCaption->setBuddy(MissingList);
    PresenceCaption = new QLabel(tr("Liste de la classe :"), this);
    PresenceList = new QListWidget(this);
    PresenceList->setObjectName(QStringLiteral("PresenceList"));
    PresenceCaption->setBuddy(PresenceList);

    auto *lists = new QGridLayout;
    lists->addWidget(MissingCaption, 0, 0);
    lists->addWidget(MissingList, 1, 0);
    lists->addWidget(PresenceCaption, 0, 1);
    lists->addWidget(PresenceList, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(StepLabel);
    layout->addWidget(createControlBar());
    layout->addWidget(TallyLabel);
    layout->addLayout(lists, 1);

    connect(&m_pacing, &LivePacing::changed, this, &LiveControlWindow::refresh);
    resize(720, 480);
    refresh();
}

QWidget *LiveControlWindow::createControlBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ControlBar"));
    NextButton = new QPushButton(tr("&Question suivante"), bar);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    AnswersButton = new QPushButton(tr("Montrer les &réponses"), bar);
    AnswersButton->setObjectName(QStringLiteral("AnswersButton"));
    RightButton = new QPushButton(tr("Montrer la &bonne réponse"), bar);
    RightButton->setObjectName(QStringLiteral("RightButton"));
    EndButton = new QPushButton(tr("&Terminer"), bar);
    EndButton->setObjectName(QStringLiteral("EndButton"));
    for (QPushButton *button : {NextButton, AnswersButton, RightButton, EndButton})
        button->setMinimumHeight(44);
    connect(NextButton, &QPushButton::clicked, this, [this] { act([this] { m_pacing.next(); }); });
    connect(AnswersButton, &QPushButton::clicked, this, [this] { act([this] { m_pacing.showAnswers(); }); });
    connect(RightButton, &QPushButton::clicked, this, [this] { act([this] { m_pacing.showRight(); }); });
    connect(EndButton, &QPushButton::clicked, this, [this] {
        if (m_endRun)
            m_endRun();
    });
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NextButton);
    layout->addWidget(AnswersButton);
    layout->addWidget(RightButton);
    layout->addStretch();
    layout->addWidget(EndButton);
    return bar;
}

void LiveControlWindow::act(const std::function<void()> &step)
{
    runGuarded(m_services.boxes, step);
}

void LiveControlWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!pressKey(event->key()))
        QWidget::keyPressEvent(event);
}

bool LiveControlWindow::pressKey(int key)
{
    bool taken = false;
    act([this, key, &taken] { taken = m_pacing.pressKey(key); });
    return taken;
}

void LiveControlWindow::refresh()
{
    const NetworkSession &session = m_pacing.session();
    const LivePace &pace = m_pacing.pace();
    const int count = m_pacing.questionCount();
    const LiveTally tally = m_pacing.tally();
    QString step;
    switch (session.ended() ? LivePace::Step::Over : pace.step) {
    case LivePace::Step::Waiting:
        step = tr("En attente : %1 élève(s) connecté(s). « Question suivante » montre la première question.")
                   .arg(tally.joined);
        break;
    case LivePace::Step::Open:
        step = tr("Question %1 / %2 ouverte : %3 réponse(s) sur %4 élève(s).")
                   .arg(pace.question + 1).arg(count).arg(tally.answered).arg(tally.joined);
        break;
    case LivePace::Step::Answers:
        step = tr("Question %1 / %2 fermée : les réponses de la classe sont montrées.").arg(pace.question + 1).arg(count);
        break;
    case LivePace::Step::Right:
        step = tr("Question %1 / %2 fermée : la bonne réponse est montrée.").arg(pace.question + 1).arg(count);
        break;
    case LivePace::Step::Over:
        step = tr("La passation est terminée.");
        break;
    }
    StepLabel->setText(step);
    NextButton->setEnabled(m_pacing.canGoNext());
    AnswersButton->setEnabled(m_pacing.canShowAnswers());
    RightButton->setEnabled(m_pacing.canShowRight());
    EndButton->setEnabled(!session.ended());

    const QString chart = m_pacing.tallyText();
    TallyLabel->setText(chart);
    TallyLabel->setAccessibleName(chart);

    const QStringList missing = m_pacing.notAnswered();
    MissingCaption->setText(pace.question < 0 ? tr("Sans réponse :") : tr("Sans réponse (%1) :").arg(missing.size()));
    MissingList->clear();
    MissingList->addItems(missing);

    const std::vector<LivePacing::Presence> presence = m_pacing.presence();
    PresenceCaption->setVisible(!presence.empty());
    PresenceList->setVisible(!presence.empty());
    PresenceList->clear();
    int joined = 0;
    for (const LivePacing::Presence &pupil : presence) {
        joined += pupil.joined ? 1 : 0;
        PresenceList->addItem(pupil.joined ? tr("✔ %1 – connecté").arg(pupil.name) : tr("✘ %1 – absent").arg(pupil.name));
    }
    PresenceCaption->setText(tr("Liste de la classe (%1 sur %2 connectés) :").arg(joined).arg(presence.size()));
}
