#include "classroom/pupil/pupilwindow.h"

#include "classroom/classdraw.h"
#include "classroom/classlist.h"
#include "classroom/classreview.h"
#include "classroom/grantminutesbox.h"
#include "classroom/pupil/proportionalpicture.h"
#include "classroom/pupil/pupilsession.h"
#include "classroom/pupil/teachercode.h"
#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Text read from the back of a room: the body is a fortieth of the window's height, never less
// than what a person at the screen reads comfortably.
constexpr int LinesPerHeight = 40;
constexpr int SmallestBodyPixels = 16;
// Buttons large enough for a finger on a touch screen.
constexpr int TouchTarget = 44;

const QString AnswerStyle = QStringLiteral(
    "QPushButton { text-align: left; padding: 0.4em 0.8em; border: 2px solid #44546a; border-radius: 6px;"
    " background: #ffffff; color: #1a1a1a; }"
    "QPushButton:focus { border: 4px solid #1f5fa8; }"
    "QPushButton:checked { background: #1f4e8c; color: #ffffff; border-color: #1f4e8c; }");
// Check boxes look like the answer buttons, their box in front; the box itself is sized with
// the font (scaleFonts()).
const QString CheckStyle = QStringLiteral(
    "QCheckBox { padding: 0.4em 0.8em; border: 2px solid #44546a; border-radius: 6px;"
    " background: #ffffff; color: #1a1a1a; spacing: 0.6em; }"
    "QCheckBox:focus { border: 4px solid #1f5fa8; }"
    "QCheckBox:checked { background: #dce8f7; border-color: #1f4e8c; }");
// The time left stays calm: a quiet frame, made plainer in the last five minutes, never red
// and never blinking.
const QString TimeStyle = QStringLiteral("QLabel { color: #1a1a1a; padding: 0.1em 0.5em; border: 2px solid #8a96a8;"
                                         " border-radius: 6px; }");
const QString TimeSoonStyle = QStringLiteral("QLabel { color: #1a1a1a; padding: 0.1em 0.5em; border: 3px solid #1f4e8c;"
                                             " border-radius: 6px; background: #eef3fa; font-weight: bold; }");
const QString StripStyle = QStringLiteral(
    "QPushButton { border: 2px solid #44546a; border-radius: 4px; background: #ffffff; color: #1a1a1a; }"
    "QPushButton[answered=\"true\"] { background: #1f4e8c; color: #ffffff; border-color: #1f4e8c; }"
    "QPushButton[current=\"true\"] { border: 4px solid #c45100; }");

QLabel *wrappedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QPushButton *namedButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumHeight(TouchTarget);
    return button;
}

// "2, 5 et 7"
// A page's form in the middle third of the screen, a little above the centre, under its title
// when it has one.
void placeForm(QWidget *page, QLayout *form, QWidget *title = nullptr)
{
    auto *centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addLayout(form, 2);
    centred->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    if (title) {
        layout->addWidget(title);
        layout->addSpacing(TouchTarget);
    }
    layout->addLayout(centred);
    layout->addStretch(2);
}

QString numberList(const std::vector<int> &positions)
{
    QStringList numbers;
    for (int position : positions)
        numbers << QString::number(position + 1);
    if (numbers.size() < 2)
        return numbers.join(QString());
    const QString last = numbers.takeLast();
    return numbers.join(QStringLiteral(", ")) + PupilWindow::tr(" et ") + last;
}

} // namespace

PupilWindow::PupilWindow(PupilSession &session, const ClassListStore &classLists, Services &services,
                         TeacherCode &teacherCode, QString pictureFolder, QWidget *parent)
    : QDialog(parent), m_session(session), m_classLists(classLists), m_services(services), m_teacherCode(teacherCode),
      m_pictureFolder(std::move(pictureFolder))
{
    setObjectName(QStringLiteral("PupilWindow"));
    setWindowTitle(tr("Passation du questionnaire"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The whole screen, even where no window manager makes full-screen windows so (a kiosk
    // session, a bare X server): nothing of the editor may show beside it.
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);

    Pages = new QStackedWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->addWidget(createNamePage());
    Pages->addWidget(createQuestionPage());
    Pages->addWidget(createEndPage());
    Pages->addWidget(createStopPage());

    StopButton = namedButton(tr("Arrêter la passation"), QStringLiteral("StopButton"), this);
    StopButton->setAutoDefault(false);
    connect(StopButton, &QPushButton::clicked, this, &PupilWindow::stopSession);

    auto *top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(StopButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Pages, 1);

    EndTimer = new QTimer(this);
    EndTimer->setObjectName(QStringLiteral("EndTimer"));
    EndTimer->setSingleShot(true);
    EndTimer->setInterval(EndPageIdleMs);
    connect(EndTimer, &QTimer::timeout, this, [this] {
        if (Pages->currentIndex() == EndPage)
            nextPupil();
    });
    // The wait after wrong codes counts down each second.
    WaitTimer = new QTimer(this);
    WaitTimer->setInterval(1000);
    connect(WaitTimer, &QTimer::timeout, this, &PupilWindow::waitOver);
    // Every key and click in the window, whichever control takes it, tells that someone is there.
    QCoreApplication::instance()->installEventFilter(this);

    fillNames();
    scaleFonts();
    NameBox->setFocus();
}

QWidget *PupilWindow::createNamePage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("NamePage"));
    auto *title = wrappedLabel(QStringLiteral("QuestionnaireLabel"), page);
    title->setAlignment(Qt::AlignCenter);
    title->setText(tr("Questionnaire de %n question(s)", nullptr,
                        ClassDraw::heldCount(m_session.questionnaire(), m_session.settings())));

    ClassBox = new QComboBox(page);
    ClassBox->setObjectName(QStringLiteral("ClassBox"));
    ClassBox->addItem(tr("(aucune liste)"));
    ClassBox->addItems(m_classLists.classNames());
    ClassBox->setMinimumHeight(TouchTarget);
    connect(ClassBox, &QComboBox::currentIndexChanged, this, &PupilWindow::fillNames);

    NameBox = new QComboBox(page);
    NameBox->setObjectName(QStringLiteral("NameBox"));
    NameBox->setEditable(true);
    NameBox->setInsertPolicy(QComboBox::NoInsert);
    NameBox->setMinimumHeight(TouchTarget);
    NameBox->lineEdit()->setMaxLength(100);
    NameBox->lineEdit()->setPlaceholderText(tr("Prénom et nom"));

    StartButton = namedButton(tr("&Commencer"), QStringLiteral("StartButton"), page);
    StartButton->setDefault(true);
    connect(StartButton, &QPushButton::clicked, this, &PupilWindow::startPupil);
    connect(NameBox->lineEdit(), &QLineEdit::returnPressed, this, &PupilWindow::startPupil);

    auto *classLabel = new QLabel(tr("C&lasse :"), page);
    classLabel->setBuddy(ClassBox);
    auto *nameLabel = new QLabel(tr("&Votre nom :"), page);
    nameLabel->setBuddy(NameBox);

    auto *form = new QVBoxLayout;
    form->addWidget(classLabel);
    form->addWidget(ClassBox);
    form->addSpacing(TouchTarget / 2);
    form->addWidget(nameLabel);
    form->addWidget(NameBox);
    form->addSpacing(TouchTarget / 2);
    form->addWidget(StartButton);

    placeForm(page, form, title);
    return page;
}

QWidget *PupilWindow::createQuestionPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("QuestionPage"));
    QuestionNumber = wrappedLabel(QStringLiteral("QuestionNumber"), page);
    TimeLabel = new QLabel(page);
    TimeLabel->setObjectName(QStringLiteral("TimeLabel"));
    TimeLabel->setTextFormat(Qt::PlainText);
    TimeLabel->setStyleSheet(TimeStyle);
    TimeLabel->hide();
    TimeTimer = new QTimer(this);
    TimeTimer->setObjectName(QStringLiteral("TimeTimer"));
    TimeTimer->setInterval(1000);
    connect(TimeTimer, &QTimer::timeout, this, &PupilWindow::tickTime);
    TitleLabel = wrappedLabel(QStringLiteral("TitleLabel"), page);
    StatementLabel = wrappedLabel(QStringLiteral("StatementLabel"), page);
    PictureView = new ProportionalPicture(m_services.pictures, page);
    PictureView->setObjectName(QStringLiteral("PictureView"));
    PictureView->hide();

    auto *answers = new QVBoxLayout;
    for (int k = 0; k < int(AnswerButtons.size()); ++k) {
        QPushButton *button = namedButton(QString(), QStringLiteral("AnswerButton%1").arg(k + 1), page);
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setStyleSheet(AnswerStyle);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
        connect(button, &QPushButton::clicked, this, [this, k] { choose(k + 1); });
        AnswerButtons[size_t(k)] = button;
        answers->addWidget(button);
    }
    SeveralLabel = wrappedLabel(QStringLiteral("SeveralLabel"), page);
    SeveralLabel->setText(tr("Plusieurs réponses possibles"));
    SeveralLabel->hide();
    answers->addWidget(SeveralLabel);
    for (int k = 0; k < int(AnswerChecks.size()); ++k) {
        auto *check = new QCheckBox(page);
        check->setObjectName(QStringLiteral("AnswerCheck%1").arg(k + 1));
        check->setMinimumHeight(TouchTarget);
        check->setStyleSheet(CheckStyle);
        check->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
        // Read with each box, since a screen reader reaching a box does not read the label above.
        check->setAccessibleDescription(tr("Plusieurs réponses possibles"));
        check->hide();
        connect(check, &QCheckBox::clicked, this, [this, k] { tick(k + 1); });
        AnswerChecks[size_t(k)] = check;
        answers->addWidget(check);
    }
    answers->addStretch();

    auto *body = new QHBoxLayout;
    auto *text = new QVBoxLayout;
    text->addWidget(StatementLabel);
    text->addLayout(answers, 1);
    body->addLayout(text, 3);
    body->addWidget(PictureView, 2);

    StripArea = new QScrollArea(page);
    StripArea->setObjectName(QStringLiteral("StripArea"));
    StripArea->setWidgetResizable(true);
    StripArea->setFrameShape(QFrame::NoFrame);
    StripArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StripArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    createStrip();

    PreviousButton = namedButton(tr("◀ &Précédente"), QStringLiteral("PreviousButton"), page);
    NextButton = namedButton(tr("&Suivante ▶"), QStringLiteral("NextButton"), page);
    FinishButton = namedButton(tr("&Terminer"), QStringLiteral("FinishButton"), page);
    for (QPushButton *button : {PreviousButton, NextButton, FinishButton})
        button->setAutoDefault(false);
    connect(PreviousButton, &QPushButton::clicked, this, &PupilWindow::previousQuestion);
    connect(NextButton, &QPushButton::clicked, this, &PupilWindow::nextQuestion);
    connect(FinishButton, &QPushButton::clicked, this, &PupilWindow::finishPupil);
    auto *navigation = new QHBoxLayout;
    navigation->addWidget(PreviousButton);
    navigation->addWidget(NextButton);
    navigation->addStretch();
    navigation->addWidget(FinishButton);

    auto *heading = new QHBoxLayout;
    heading->addWidget(QuestionNumber, 1);
    heading->addWidget(TimeLabel, 0, Qt::AlignRight | Qt::AlignTop);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(heading);
    layout->addWidget(TitleLabel);
    layout->addLayout(body, 1);
    layout->addWidget(StripArea);
    layout->addLayout(navigation);
    return page;
}

void PupilWindow::createStrip()
{
    auto *strip = new QWidget(StripArea);
    strip->setObjectName(QStringLiteral("Strip"));
    strip->setStyleSheet(StripStyle);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    // The pupil's own version: with a draw, fewer questions than the questionnaire has.
    const int count = ClassDraw::heldCount(m_session.questionnaire(), m_session.settings());
    StripButtons.reserve(size_t(count));
    for (int position = 0; position < count; ++position) {
        auto *button = new QPushButton(QString::number(position + 1), strip);
        button->setObjectName(QStringLiteral("StripButton%1").arg(position + 1));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAccessibleName(tr("Question %1").arg(position + 1));
        connect(button, &QPushButton::clicked, this, [this, position] { showQuestion(position); });
        row->addWidget(button);
        StripButtons.push_back(button);
    }
    row->addStretch();
    StripArea->setWidget(strip);
}

QWidget *PupilWindow::createEndPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("EndPage"));
    EndLabel = wrappedLabel(QStringLiteral("EndLabel"), page);
    EndLabel->setAlignment(Qt::AlignCenter);
    CorrectionsView = new QTextBrowser(page);
    CorrectionsView->setObjectName(QStringLiteral("CorrectionsView"));
    CorrectionsView->setOpenLinks(false);
    NextPupilButton = namedButton(tr("&Élève suivant"), QStringLiteral("NextPupilButton"), page);
    NextPupilButton->setDefault(true);
    connect(NextPupilButton, &QPushButton::clicked, this, &PupilWindow::nextPupil);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(EndLabel);
    layout->addWidget(CorrectionsView, 1);
    layout->addWidget(NextPupilButton, 0, Qt::AlignHCenter);
    return page;
}

QWidget *PupilWindow::createStopPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("StopPage"));
    StopLabel = wrappedLabel(QStringLiteral("StopLabel"), page);
    StopLabel->setAlignment(Qt::AlignCenter);
    TeacherCodeEdit = new QLineEdit(page);
    TeacherCodeEdit->setObjectName(QStringLiteral("TeacherCodeEdit"));
    TeacherCodeEdit->setEchoMode(QLineEdit::Password);
    TeacherCodeEdit->setMaxLength(TeacherCode::MaximumLength);
    TeacherCodeEdit->setMinimumHeight(TouchTarget);
    auto *codeLabel = new QLabel(tr("&Code de l'enseignant :"), page);
    codeLabel->setBuddy(TeacherCodeEdit);
    StopProblemLabel = wrappedLabel(QStringLiteral("StopProblemLabel"), page);
    StopConfirmButton = namedButton(tr("&Arrêter la passation"), QStringLiteral("StopConfirmButton"), page);
    ResumeButton = namedButton(tr("&Reprendre"), QStringLiteral("ResumeButton"), page);
    StopConfirmButton->setAutoDefault(false);
    ResumeButton->setAutoDefault(false);
    connect(StopConfirmButton, &QPushButton::clicked, this, &PupilWindow::confirmStop);
    connect(TeacherCodeEdit, &QLineEdit::returnPressed, this, &PupilWindow::confirmStop);
    connect(ResumeButton, &QPushButton::clicked, this, &PupilWindow::resumeAfterStop);
    GrantBox = new GrantMinutesBox(page);
    GrantBox->setMinimumHeight(TouchTarget);
    GrantButton = namedButton(tr("Accorder du te&mps"), QStringLiteral("GrantButton"), page);
    GrantButton->setAutoDefault(false);
    GrantButton->setToolTip(tr("Ajoute ces minutes au temps de l'élève qui répond, pour sa copie seulement, "
                               "puis reprend sa copie."));
    connect(GrantButton, &QPushButton::clicked, this, &PupilWindow::grantTime);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ResumeButton);
    buttons->addStretch();
    buttons->addWidget(GrantBox);
    buttons->addWidget(GrantButton);
    buttons->addStretch();
    buttons->addWidget(StopConfirmButton);
    auto *form = new QVBoxLayout;
    form->addWidget(StopLabel);
    form->addSpacing(TouchTarget / 2);
    form->addWidget(codeLabel);
    form->addWidget(TeacherCodeEdit);
    form->addWidget(StopProblemLabel);
    form->addSpacing(TouchTarget / 2);
    form->addLayout(buttons);
    placeForm(page, form);
    return page;
}

void PupilWindow::fillNames()
{
    NameBox->clear();
    if (ClassBox->currentIndex() > 0) {
        // Pupils who already answered come last: the next one finds their name at once.
        QStringList waiting;
        QStringList done;
        for (const QString &pupil : m_classLists.pupils(ClassBox->currentText()))
            (m_session.pupilsDone().contains(pupil) ? done : waiting) << pupil;
        NameBox->addItems(waiting + done);
    }
    NameBox->setCurrentIndex(-1);
    NameBox->clearEditText();
}

void PupilWindow::startPupil()
{
    if (Pages->currentIndex() != NamePage)
        return;
    const ExtraTime extra = ClassBox->currentIndex() > 0
        ? m_classLists.extraTimeOf(ClassBox->currentText(), NameBox->currentText())
        : ExtraTime();
    m_session.startPupil(NameBox->currentText(), extra);
    for (QPushButton *button : StripButtons)
        button->setProperty("answered", false);
    Pages->setCurrentIndex(QuestionPage);
    showQuestion(0);
    m_announcer = TimeAnnouncer();
    TimeLabel->setStyleSheet(TimeStyle);
    TimeLabel->setVisible(m_session.time().timed());
    if (m_session.time().timed()) {
        TimeTimer->start();
        tickTime();
    }
}

void PupilWindow::tickTime()
{
    const int remaining = m_session.remainingSeconds();
    if (remaining < 0) {
        TimeTimer->stop();
        return;
    }
    TimeLabel->setText(TimeAnnouncer::shownText(remaining));
    const TimeAnnouncer::Announcement said = m_announcer.next(remaining);
    if (!said.text.isEmpty())
        TimeLabel->setAccessibleName(said.text);
    if (said.warning == TimeAnnouncer::Warning::FiveMinutes)
        TimeLabel->setStyleSheet(TimeSoonStyle);
    // While the teacher's page shows, the pupil cannot answer: a copy whose time runs out then
    // ends when she goes back to it, not under her, between a grant and its code.
    if (remaining > 0 || Pages->currentIndex() == StopPage)
        return;
    TimeTimer->stop();
    runGuarded(m_services.boxes, [this] {
        if (const std::optional<ClassRunRecord> kept = m_session.timeUpIfDue())
            showEnd(*kept);
    });
}

void PupilWindow::showQuestion(int position)
{
    ClassRun *run = m_session.run();
    if (!run || run->size() == 0)
        return;
    m_position = std::clamp(position, 0, run->size() - 1);
    const ClassQuestion &question = run->questionAt(m_position);
    QuestionNumber->setText(tr("Question %1 / %2").arg(m_position + 1).arg(run->size()));
    TitleLabel->setText(question.title);
    StatementLabel->setText(question.statement.join(QLatin1Char('\n')));
    StatementLabel->setVisible(!question.statement.isEmpty());

    PictureView->clear();
    if (!question.picture.isEmpty()) {
        const QFileInfo stored(question.picture);
        const QString path = stored.isAbsolute() || m_pictureFolder.isEmpty()
            ? question.picture
            : QDir(m_pictureFolder).filePath(question.picture);
        PictureView->load(path);
    }

    const QStringList answers = run->shownAnswers(m_position);
    const int chosen = run->chosenAt(m_position);
    const bool several = question.severalRight();
    const AnswerSet ticked = run->answerSets()[size_t(question.number)];
    SeveralLabel->setVisible(several);
    for (int k = 0; k < int(AnswerButtons.size()); ++k) {
        QPushButton *button = AnswerButtons[size_t(k)];
        QCheckBox *check = AnswerChecks[size_t(k)];
        const bool shown = k < answers.size();
        // "&1" lets a screen reader and the keyboard name the answer by its number.
        const QString text = shown ? QStringLiteral("&%1)  %2").arg(k + 1).arg(QString(answers.at(k)).replace(QLatin1Char('&'), QStringLiteral("&&")))
                                   : QString();
        button->setVisible(shown && !several);
        button->setText(several ? QString() : text);
        button->setChecked(shown && !several && chosen == k + 1);
        check->setVisible(shown && several);
        check->setText(several ? text : QString());
        check->setChecked(shown && several
                          && AnswerSets::contains(ticked, run->version().answerNumber(question.number, k + 1)));
    }
    PreviousButton->setEnabled(m_position > 0);
    NextButton->setEnabled(m_position + 1 < run->size());
    refreshStrip();
    if (answers.isEmpty())
        NextButton->setFocus();
    else if (several)
        AnswerChecks[0]->setFocus();
    else
        AnswerButtons[size_t(std::max(chosen, 1) - 1)]->setFocus();
}

bool PupilWindow::showsChecks() const
{
    const ClassRun *run = m_session.run();
    return run && m_position < run->size() && run->questionAt(m_position).severalRight();
}

void PupilWindow::tick(int shown)
{
    ClassRun *run = m_session.run();
    if (!run || Pages->currentIndex() != QuestionPage || !showsChecks())
        return;
    const int question = run->version().questionAt(m_position);
    const int answer = run->version().answerNumber(question, shown);
    if (answer == 0)
        return;
    // The set as it stands in the run, the one answer turned over: the boxes only show it.
    const AnswerSet ticked = run->answerSets()[size_t(question)] ^ AnswerSets::of(answer);
    if (!run->setAnswers(question, ticked)) {
        showQuestion(m_position);
        return;
    }
    AnswerChecks[size_t(shown - 1)]->setChecked(AnswerSets::contains(ticked, answer));
    refreshStrip();
}

void PupilWindow::choose(int shown)
{
    ClassRun *run = m_session.run();
    if (!run || Pages->currentIndex() != QuestionPage)
        return;
    if (showsChecks()) {
        tick(shown);
        return;
    }
    // A second click on the chosen answer takes it back.
    const int answer = run->chosenAt(m_position) == shown ? 0 : shown;
    if (!run->choose(m_position, answer)) {
        showQuestion(m_position);
        return;
    }
    for (int k = 0; k < int(AnswerButtons.size()); ++k)
        AnswerButtons[size_t(k)]->setChecked(answer == k + 1);
    refreshStrip();
}

void PupilWindow::refreshStrip()
{
    ClassRun *run = m_session.run();
    if (!run)
        return;
    for (int position = 0; position < int(StripButtons.size()); ++position) {
        QPushButton *button = StripButtons[size_t(position)];
        const bool answered = run->chosenAt(position) != 0;
        const bool current = position == m_position;
        if (button->property("answered").toBool() != answered || button->property("current").toBool() != current) {
            button->setProperty("answered", answered);
            button->setProperty("current", current);
            button->setToolTip(answered ? tr("Question %1 : répondue").arg(position + 1)
                                        : tr("Question %1 : sans réponse").arg(position + 1));
            button->style()->unpolish(button);
            button->style()->polish(button);
        }
    }
    if (m_position < int(StripButtons.size()))
        StripArea->ensureWidgetVisible(StripButtons[size_t(m_position)]);
}

void PupilWindow::previousQuestion()
{
    showQuestion(m_position - 1);
}

void PupilWindow::nextQuestion()
{
    showQuestion(m_position + 1);
}

void PupilWindow::finishPupil()
{
    ClassRun *run = m_session.run();
    if (!run || Pages->currentIndex() != QuestionPage)
        return;
    const std::vector<int> unanswered = run->unansweredPositions();
    QString question = tr("Terminer le questionnaire ?");
    if (unanswered.size() == 1)
        question += QLatin1Char('\n') + tr("La question %1 n'a pas de réponse.").arg(numberList(unanswered));
    else if (!unanswered.empty())
        question += QLatin1Char('\n') + tr("Les questions %1 n'ont pas de réponse.").arg(numberList(unanswered));
    // The time may have run out while the question was asked: the run is kept already.
    if (m_services.boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes
        || !m_session.pupilAnswering())
        return;
    TimeTimer->stop();
    runGuarded(m_services.boxes, [this] { showEnd(m_session.finishPupil()); });
}

void PupilWindow::showEnd(const ClassRunRecord &record)
{
    QString text = record.pupil.isEmpty() ? tr("Questionnaire terminé.") : tr("Questionnaire terminé, %1.").arg(record.pupil);
    if (record.timedOut)
        text = tr("Temps écoulé.") + QLatin1Char(' ') + text + QLatin1Char('\n') + tr("Toutes les réponses données sont enregistrées.");
    TimeTimer->stop();
    TimeLabel->hide();
    const ClassScore &score = record.score;
    const ClassSettings::EndView view = m_session.settings().endView;
    if (view == ClassSettings::EndView::Nothing || score.markedCount == 0) {
        text += QLatin1Char('\n') + tr("Vos réponses sont enregistrées.");
    } else {
        text += QLatin1Char('\n') + tr("Note : %1").arg(score.markText());
        text += QLatin1Char('\n') + tr("%1 bonne(s) réponse(s) sur %2 question(s) notée(s).")
                                        .arg(score.rightCount)
                                        .arg(score.markedCount);
        const int notMarked = score.askedCount() - score.markedCount;
        if (notMarked > 0)
            text += QLatin1Char('\n') + tr("%n question(s) sans bonne réponse désignée ne compte(nt) pas.", nullptr, notMarked);
    }
    // The run of a class at one computer ends only when the last pupil has gone: corrections
    // kept for the end of the run are not shown here.
    if (m_session.settings().correctionsLater(false))
        text += QLatin1Char('\n') + tr("Les corrections ne sont pas montrées pendant la passation.");
    EndLabel->setText(text);
    const bool corrections = m_session.settings().showsCorrections(false);
    CorrectionsView->setVisible(corrections);
    CorrectionsView->setHtml(corrections ? correctionsHtml() : QString());
    Pages->setCurrentIndex(EndPage);
    EndTimer->start();
    NextPupilButton->setFocus();
}

QString PupilWindow::correctionsHtml() const
{
    auto escaped = [](const QString &text) { return text.toHtmlEscaped(); };
    auto paragraph = [](const QString &text) { return QStringLiteral("<p>%1</p>").arg(text); };
    const std::vector<QuestionReview> reviews = ClassReview::of(*m_session.run());
    QString html;
    for (size_t position = 0; position < reviews.size(); ++position) {
        const QuestionReview &review = reviews[position];
        const bool right = review.outcome == ClassScore::Outcome::Right;
        html += QStringLiteral("<h3>%1</h3>").arg(tr("Question %1 : %2").arg(position + 1).arg(escaped(review.title)));
        if (review.given.isEmpty())
            html += paragraph(tr("Vous n'avez pas répondu."));
        else if (review.several)
            html += paragraph(escaped(right ? tr("Vos réponses, justes : %1").arg(ClassReview::quotedList(review.given))
                                            : tr("Vos réponses : %1").arg(ClassReview::quotedList(review.given))));
        else
            html += paragraph(right ? tr("Votre réponse, juste : %1").arg(escaped(review.given.first()))
                                    : tr("Votre réponse : %1").arg(escaped(review.given.first())));
        if (!right && !review.right.isEmpty()) {
            const QString rightText = review.several ? tr("Bonnes réponses : %1").arg(ClassReview::quotedList(review.right))
                                                     : tr("Bonne réponse : %1").arg(review.right.first());
            html += QStringLiteral("<p><b>%1</b></p>").arg(escaped(rightText));
        }
        for (const QuestionReview::Feedback &feedback : review.feedback)
            html += paragraph(QStringLiteral("<i>%1</i>").arg(escaped(tr("%1 : %2").arg(ClassReview::quoted(feedback.answer), feedback.text))));
        if (!review.correction.isEmpty()) {
            QStringList lines;
            for (const QString &line : review.correction)
                lines << escaped(line);
            html += paragraph(lines.join(QStringLiteral("<br>")));
        }
    }
    return html;
}

void PupilWindow::nextPupil()
{
    EndTimer->stop();
    // Nothing of the last pupil's copy stays in the window for the next one.
    EndLabel->clear();
    CorrectionsView->clear();
    fillNames();
    Pages->setCurrentIndex(NamePage);
    NameBox->setFocus();
}

void PupilWindow::stopSession()
{
    if (Pages->currentIndex() == StopPage)
        return;
    // A pupil's end page is not kept behind the teacher's page: "Reprendre" may be clicked by
    // the next pupil.
    if (Pages->currentIndex() == EndPage)
        nextPupil();
    m_pageBeforeStop = Pages->currentIndex();
    EndTimer->stop();
    QString text = tr("Arrêter la passation ?");
    if (m_session.pupilAnswering())
        text += QLatin1Char('\n') + tr("Les réponses de l'élève en cours seront gardées comme inachevées.");
    // The teacher may rather give the pupil answering more time: she sees what he has left.
    const bool grantable = m_session.pupilAnswering() && m_session.time().limited();
    if (grantable)
        text += QLatin1Char('\n') + TimeAnnouncer::shownText(m_session.remainingSeconds());
    GrantBox->setVisible(grantable);
    GrantButton->setVisible(grantable);
    StopLabel->setText(text);
    TeacherCodeEdit->clear();
    StopProblemLabel->clear();
    StopButton->hide();
    Pages->setCurrentIndex(StopPage);
    showWait();
    TeacherCodeEdit->setFocus();
}

void PupilWindow::confirmStop()
{
    if (Pages->currentIndex() != StopPage)
        return;
    if (!teacherCodeAccepted())
        return;
    const bool kept = runGuarded(m_services.boxes, [this] { m_session.stop(); });
    if (!kept)
        return;
    m_closing = true;
    accept();
}

bool PupilWindow::teacherCodeAccepted()
{
    const TeacherCode::Check check = m_teacherCode.check(TeacherCodeEdit->text());
    TeacherCodeEdit->clear();
    if (check == TeacherCode::Check::Accepted)
        return true;
    StopProblemLabel->setText(tr("Code incorrect."));
    showWait();
    TeacherCodeEdit->setFocus();
    return false;
}

void PupilWindow::grantTime()
{
    if (Pages->currentIndex() != StopPage || !teacherCodeAccepted())
        return;
    if (!runGuarded(m_services.boxes, [this] { m_session.grantMinutes(GrantBox->value()); }))
        return;
    // The pupil hears where his time stands now, and the warnings come again when they are due.
    m_announcer = TimeAnnouncer();
    TimeLabel->setStyleSheet(TimeStyle);
    resumeAfterStop();
}

void PupilWindow::enableCodeEntry(bool enabled)
{
    StopConfirmButton->setEnabled(enabled);
    GrantButton->setEnabled(enabled);
    TeacherCodeEdit->setEnabled(enabled);
}

void PupilWindow::showWait()
{
    const qint64 wait = m_teacherCode.waitMs();
    enableCodeEntry(wait == 0);
    if (wait == 0)
        return;
    const int seconds = int((wait + 999) / 1000);
    StopProblemLabel->setText(tr("Code incorrect. Patientez %n seconde(s) avant un nouvel essai.", nullptr, seconds));
    if (!WaitTimer->isActive())
        WaitTimer->start();
}

void PupilWindow::waitOver()
{
    if (m_teacherCode.waitMs() > 0) {
        showWait();
        return;
    }
    WaitTimer->stop();
    enableCodeEntry(true);
    StopProblemLabel->clear();
    if (Pages->currentIndex() == StopPage)
        TeacherCodeEdit->setFocus();
}

void PupilWindow::resumeAfterStop()
{
    TeacherCodeEdit->clear();
    StopButton->show();
    Pages->setCurrentIndex(m_pageBeforeStop);
    if (m_pageBeforeStop == QuestionPage) {
        showQuestion(m_position);
        if (TimeTimer->isActive())
            tickTime();
    } else {
        NameBox->setFocus();
    }
}

bool PupilWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (Pages->currentIndex() == EndPage && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            EndTimer->start();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PupilWindow::reject()
{
    // Escape, and the window manager's close: a pupil must not leave the class's window.
    if (m_closing)
        QDialog::reject();
}

void PupilWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void PupilWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (Pages->currentIndex() == QuestionPage) {
        const int key = event->key();
        if (key >= Qt::Key_1 && key <= Qt::Key_5 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            choose(key - Qt::Key_0);
            return;
        }
        if (key == Qt::Key_PageDown) {
            nextQuestion();
            return;
        }
        if (key == Qt::Key_PageUp) {
            previousQuestion();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void PupilWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    scaleFonts();
}

void PupilWindow::scaleFonts()
{
    const int body = std::max(SmallestBodyPixels, height() / LinesPerHeight);
    QFont font = this->font();
    font.setPixelSize(body);
    setFont(font);
    QFont title = font;
    title.setPixelSize(body * 5 / 4);
    title.setBold(true);
    TitleLabel->setFont(title);
    QuestionNumber->setFont(title);
    EndLabel->setFont(title);
    // Styled buttons take no font from their window: each is given its own.
    for (QPushButton *button : AnswerButtons)
        button->setFont(font);
    // The box grows with the text, so that it is seen and hit as easily as an answer button.
    const QString indicator = QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(body * 5 / 4);
    for (QCheckBox *check : AnswerChecks) {
        check->setFont(font);
        check->setStyleSheet(CheckStyle + indicator);
    }
    QFont several = font;
    several.setItalic(true);
    SeveralLabel->setFont(several);
    // Styled too: the time left reads at the size of the question's text, not at the system's.
    TimeLabel->setFont(font);
    QFont strip = font;
    strip.setPixelSize(std::max(SmallestBodyPixels, body * 3 / 4));
    const int side = std::max(TouchTarget, QFontMetrics(strip).height() * 2);
    for (QPushButton *button : StripButtons) {
        button->setFont(strip);
        button->setFixedSize(side, side);
    }
    QFont small = font;
    small.setPixelSize(std::max(SmallestBodyPixels, body * 2 / 3));
    StopButton->setFont(small);
    StopLabel->setFont(title);
    StripArea->setFixedHeight(side + StripArea->horizontalScrollBar()->sizeHint().height() + 4);
    // The labels wrap: their heights follow the new fonts only once the layout runs again.
    layout()->invalidate();
}
