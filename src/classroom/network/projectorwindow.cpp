#include "classroom/network/projectorwindow.h"

#include "classroom/network/livechart.h"
#include "classroom/network/livepacing.h"
#include "classroom/network/networksession.h"
#include "classroom/network/qrcodeview.h"
#include "classroom/network/sessionpictures.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

QLabel *wrappedLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setPixelSize(QLabel *label, int size, bool bold)
{
    QFont font = label->font();
    font.setPixelSize(std::max(size, 12));
    font.setBold(bold);
    label->setFont(font);
}

} // namespace

ProjectorWindow::ProjectorWindow(LivePacing &pacing, const SessionPictures *pictures,
                                 std::function<QString()> pageAddress, QWidget *parent)
    : QWidget(parent, Qt::Window), m_pacing(pacing), m_pictures(pictures), m_pageAddress(std::move(pageAddress))
{
    setObjectName(QStringLiteral("ProjectorWindow"));
    setWindowTitle(tr("Passation en direct – projection"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, QColor(0x1a, 0x1a, 0x1a));
    setPalette(colours);

    m_pages = new QStackedLayout(this);
    m_pages->addWidget(createJoinPage());
    m_pages->addWidget(createQuestionPage());
    OverLabel = wrappedLabel(this, QStringLiteral("OverLabel"));
    OverLabel->setAlignment(Qt::AlignCenter);
    OverLabel->setText(tr("La passation est terminée. Merci !"));
    m_pages->addWidget(OverLabel);

    connect(&m_pacing, &LivePacing::changed, this, &ProjectorWindow::refresh);
    if (m_pictures) {
        connect(m_pictures, &SessionPictures::pictureReady, this, [this](int question) {
            if (question == m_pacing.pace().question)
                showPicture(question);
        });
    }
    resize(1024, 640);
    refresh();
}

QWidget *ProjectorWindow::createJoinPage()
{
    auto *page = new QWidget(this);
    JoinLabel = wrappedLabel(page, QStringLiteral("JoinLabel"));
    JoinLabel->setAlignment(Qt::AlignCenter);
    QrView = new QrCodeView(page);
    QrView->setObjectName(QStringLiteral("QrView"));
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(JoinLabel, 3);
    layout->addWidget(QrView, 2);
    return page;
}

QWidget *ProjectorWindow::createQuestionPage()
{
    auto *page = new QWidget(this);
    NumberLabel = wrappedLabel(page, QStringLiteral("NumberLabel"));
    AnsweredLabel = wrappedLabel(page, QStringLiteral("AnsweredLabel"));
    AnsweredLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TitleLabel = wrappedLabel(page, QStringLiteral("TitleLabel"));
    StatementLabel = wrappedLabel(page, QStringLiteral("StatementLabel"));
    PictureLabel = new QLabel(page);
    PictureLabel->setObjectName(QStringLiteral("PictureLabel"));
    PictureLabel->setAlignment(Qt::AlignCenter);
    PictureLabel->setMinimumSize(1, 1);
    PictureLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    AnswersLabel = wrappedLabel(page, QStringLiteral("AnswersLabel"));
    AnswersLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Chart = new LiveChart(page);

    auto *top = new QHBoxLayout;
    top->addWidget(NumberLabel, 1);
    top->addWidget(AnsweredLabel, 1);
    auto *answers = new QVBoxLayout;
    answers->addWidget(StatementLabel);
    answers->addWidget(AnswersLabel, 1);
    answers->addWidget(Chart, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(answers, 3);
    body->addWidget(PictureLabel, 2);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(32, 20, 32, 20);
    layout->addLayout(top);
    layout->addWidget(TitleLabel);
    layout->addLayout(body, 1);
    return page;
}

void ProjectorWindow::place()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *teachers = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    for (QScreen *screen : screens) {
        if (screen != teachers) {
            setGeometry(screen->geometry());
            showFullScreen();
            return;
        }
    }
    show();
}

void ProjectorWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!m_keys || !m_keys(event->key()))
        QWidget::keyPressEvent(event);
}

void ProjectorWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scaleFonts();
    showPicture(m_pacing.pace().question);
}

void ProjectorWindow::scaleFonts()
{
    // Read from the back of a room: sizes follow the height of the screen.
    const int unit = std::max(height(), 300);
    setPixelSize(NumberLabel, unit / 28, false);
    setPixelSize(AnsweredLabel, unit / 28, true);
    setPixelSize(TitleLabel, unit / 16, true);
    setPixelSize(StatementLabel, unit / 26, false);
    setPixelSize(AnswersLabel, unit / 20, false);
    setPixelSize(JoinLabel, unit / 18, true);
    setPixelSize(OverLabel, unit / 12, true);
    Chart->setFont(AnswersLabel->font());
}

void ProjectorWindow::showPicture(int question)
{
    if (!m_pictures || question < 0 || m_pacing.session().questionnaire().question(question).picture.trimmed().isEmpty()) {
        PictureLabel->clear();
        PictureLabel->hide();
        m_pictureShown = -1;
        return;
    }
    const WebPicture picture = m_pictures->lookup(question);
    QPixmap pixmap;
    if (picture.state != WebPicture::State::Ready || !pixmap.loadFromData(picture.bytes)) {
        PictureLabel->hide();
        return;
    }
    PictureLabel->show();
    const QSize room = PictureLabel->size().isValid() && PictureLabel->width() > 10 ? PictureLabel->size()
                                                                                   : QSize(width() / 3, height() / 2);
    PictureLabel->setPixmap(pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_pictureShown = question;
}

void ProjectorWindow::refresh()
{
    const NetworkSession &session = m_pacing.session();
    const LivePace &pace = m_pacing.pace();
    if (session.ended() || pace.step == LivePace::Step::Over) {
        m_pages->setCurrentIndex(2);
        return;
    }
    if (pace.step == LivePace::Step::Waiting || pace.question < 0) {
        const QString address = m_pageAddress ? m_pageAddress() : QString();
        QString code = session.start().code;
        if (code.size() == 6)
            code.insert(3, QLatin1Char(' '));
        JoinLabel->setText(tr("Rejoignez le questionnaire :\n%1\n\nCode : %2\n\n%3 élève(s) connecté(s)")
                               .arg(address, code)
                               .arg(m_pacing.tally().joined));
        QrView->setCode(address.isEmpty() ? QrCode() : QrCode::encode((address + QLatin1Char('#') + session.start().code).toUtf8()));
        m_pages->setCurrentIndex(0);
        return;
    }
    const ClassQuestion &question = session.questionnaire().question(pace.question);
    const LiveTally tally = m_pacing.tally();
    NumberLabel->setText(tr("Question %1 / %2").arg(pace.question + 1).arg(m_pacing.questionCount()));
    AnsweredLabel->setText(tr("Réponses : %1 / %2").arg(tally.answered).arg(tally.joined));
    TitleLabel->setText(question.title);
    StatementLabel->setText(question.statement.join(QLatin1Char('\n')));
    StatementLabel->setVisible(!question.statement.isEmpty());

    QStringList texts;
    const std::vector<int> numbers = question.answerNumbers();
    for (int number : numbers)
        texts << question.answers[size_t(number - 1)];
    AnswersLabel->setText(QStringLiteral("• ") + texts.join(QStringLiteral("\n• ")));
    const bool shown = pace.answersShown();
    AnswerSet right = 0;
    if (pace.rightShown())
        right = question.severalRight() ? question.rightAnswers : AnswerSets::of(question.rightAnswer.value_or(0));
    Chart->setTally(texts, numbers, tally, right, m_pacing.tallyText());
    AnswersLabel->setVisible(!shown);
    Chart->setVisible(shown);
    if (m_pictureShown != pace.question)
        showPicture(pace.question);
    m_pages->setCurrentIndex(1);
}
