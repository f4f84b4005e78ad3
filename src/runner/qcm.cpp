#include "runner/qcm.h"

#include "document/picturelocation.h"
#include "pictures/imageframe.h"
#include "runner/resultat.h"
#include "platform/accessiblenames.h"
#include "platform/desktopconventions.h"
#include "platform/deferredicon.h"
#include "platform/firstshow.h"
#include "platform/messageboxes.h"
#include "platform/pagescrollarea.h"
#include "platform/services.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ToolPanelHeight = 33;
constexpr int ToolButtonSize = 25;
constexpr int NavigationLefts[] = {31, 55, 79, 103}; // first, previous, next, last
constexpr int NavigationRight = NavigationLefts[3] + ToolButtonSize;
constexpr QRect ResultButtonPlace{582, 4, 89, 25};
constexpr QRect CloseButtonPlace{686, 4, 75, 25};
// Between the last navigation button and "Résultat" when the window is at its narrowest.
constexpr int NarrowestGap = 16;
constexpr int AnswerTops[] = {352, 384, 416, 448, 480};

// The answer box. A digit typed behind another must not make an answer number of two digits:
// the box keeps the first one (2 then 4 leaves 2), as the person answering expects of a box
// that holds one digit. Everything else is the ordinary spin box, bounded by the question's
// number of answers.
class AnswerBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &input, int &pos) const override
    {
        bool ok = false;
        const int typed = input.trimmed().toInt(&ok);
        if (ok && typed > 10) {
            input = QString::number(RunSession::foldTypedAnswer(typed));
            pos = std::min(pos, int(input.size()));
        }
        return QSpinBox::validate(input, pos);
    }
};

bool isPageKey(int key)
{
    return key == Qt::Key_PageDown || key == Qt::Key_PageUp;
}

} // namespace

TQcm::TQcm(Services &services, QWidget *parent) : QDialog(parent), m_boxes(services.boxes)
{
    setWindowTitle(tr("Questionnaire"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    m_page = new QWidget;
    m_page->setObjectName(QStringLiteral("Page"));
    m_page->setFixedSize(DesignWidth, DesignHeight - ToolPanelHeight);
    m_scroll = new PageScrollArea(m_page, PageScrollArea::Fit::Centred, this);
    createToolPanel();
    createQuestionArea();
    Image1 = new ImageFrame(services.pictures, services.boxes, Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setCenter(true);
    Image1->setStretch(true);
    Image1->setFocusPolicy(Qt::NoFocus);
    Panel2->layout()->addWidget(Image1);
    createAnswerArea();
    connectButtons();
    watchKeys();
    // Narrower, "Résultat" would cover the navigation buttons.
    setMinimumWidth(NavigationRight + NarrowestGap + DesignWidth - ResultButtonPlace.left());
    resize(DesignWidth, DesignHeight);
}

void TQcm::createToolPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QFont bold = Panel1->font();
    bold.setBold(true);
    Panel1->setFont(bold);

    const struct
    {
        QToolButton **button;
        const char *name;
        QStyle::StandardPixmap icon;
        QString hint;
    } navigation[] = {
        {&SpeedButton4, "SpeedButton4", QStyle::SP_MediaSkipBackward, tr("Première question")},
        {&SpeedButton2, "SpeedButton2", QStyle::SP_MediaSeekBackward, tr("Question précédente")},
        {&SpeedButton1, "SpeedButton1", QStyle::SP_MediaSeekForward, tr("Question suivante")},
        {&SpeedButton3, "SpeedButton3", QStyle::SP_MediaSkipForward, tr("Dernière question")},
    };
    for (const auto &item : navigation) {
        auto *button = new QToolButton(Panel1);
        button->setObjectName(QLatin1String(item.name));
        button->setAutoRaise(true);
        setStandardIconWhenShown(button, item.icon);
        button->setIconSize(QSize(18, 18));
        button->setToolTip(item.hint);
        button->setAccessibleName(item.hint);
        button->setFocusPolicy(Qt::NoFocus);
        *item.button = button;
    }

    Button2 = new QPushButton(tr("Résultat"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1 = new QPushButton(tr("Fermer"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    // Enter in the answer box must not press either button.
    for (QPushButton *button : {Button2, Button1}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void TQcm::createQuestionArea()
{
    // Design places are given from the window's top; the page starts below the tool bar.
    const int top = -ToolPanelHeight;

    Edit1 = new QLineEdit(m_page);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(15, 43 + top, 610, 30);
    Edit1->setFont(designFont(QStringLiteral("Arial"), 19, true));
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    AccessibleNames::setName(Edit1, tr("Titre"));

    Panel3 = new QLabel(m_page);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(656, 43 + top, 105, 30);
    Panel3->setAlignment(Qt::AlignCenter);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setFont(designFont(QStringLiteral("Arial"), 16, true));
    Panel3->setTextFormat(Qt::PlainText);

    Panel2 = new QFrame(m_page);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(15, 96 + top, 280, 215);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AccessibleNames::setName(Panel2, tr("Image"));
    auto *frameLayout = new QVBoxLayout(Panel2);
    frameLayout->setContentsMargins(1, 1, 1, 1);

    Memo1 = new QPlainTextEdit(m_page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(336, 96 + top, 321, 177);
    Memo1->setFont(designFont(QStringLiteral("Arial"), 16));
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    AccessibleNames::setName(Memo1, tr("Texte libre"));

    Label6 = new QLabel(tr("Réponse"), m_page);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setFont(designFont(QStringLiteral("Arial"), 19, true));
    // Measured when the runner first shows, centred on the answer box's height.
    Label6->move(512, 288 + top);
    whenFirstShown(Label6, [label = Label6, top] {
        label->adjustSize();
        label->move(512, 288 + top + (31 - label->height()) / 2);
    });

    SpinEdit1 = new AnswerBox(m_page);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setGeometry(608, 288 + top, 57, 31);
    SpinEdit1->setFont(designFont(QStringLiteral("Arial"), 19, true));
    SpinEdit1->setRange(0, QcmFormat::AnswerCount);
    SpinEdit1->setValue(0);
    AccessibleNames::setCaption(SpinEdit1, Label6);
}

void TQcm::createAnswerArea()
{
    const int top = -ToolPanelHeight;
    Bevel1 = new QFrame(m_page);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(16, 336 + top, 665, 177);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->lower();

    for (int k = 0; k < QcmFormat::AnswerCount; ++k) {
        auto *label = new QLabel(m_page);
        label->setObjectName(QStringLiteral("Label%1").arg(k + 1));
        label->setGeometry(32, AnswerTops[k] + top, 625, 17);
        label->setFont(designFont(QStringLiteral("Arial"), 15));
        // Answers are the author's text, never markup.
        label->setTextFormat(Qt::PlainText);
        answerLabels[size_t(k)] = label;
    }
}

void TQcm::connectButtons()
{
    connect(SpeedButton4, &QToolButton::clicked, this, &TQcm::SpeedButton4Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TQcm::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TQcm::SpeedButton1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TQcm::SpeedButton3Click);
    connect(Button1, &QPushButton::clicked, this, &TQcm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TQcm::Button2Click);
}

void TQcm::watchKeys()
{
    // Every control, so that PgDn and PgUp change the question wherever the focus is and the
    // answer box never steps by them.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void TQcm::setResultsWindow(TResultat *results)
{
    m_results = results;
}

void TQcm::setNavigationIcons(const std::array<QIcon, 4> &firstPreviousNextLast)
{
    const std::array<QToolButton *, 4> buttons{SpeedButton4, SpeedButton2, SpeedButton1, SpeedButton3};
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setIcon(firstPreviousNextLast[i]);
}

// Layout

void TQcm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placePage();
}

void TQcm::placePage()
{
    // Maximised on a large screen the design's page stands in the middle, under a tool bar as
    // wide as the window whose buttons stay above the page's columns. In a window smaller than
    // the design the page scrolls below the tool bar, but the bar does not scroll: "Résultat"
    // and "Fermer" move left with the window's right edge, so that they are never out of reach.
    const int left = std::max(0, (width() - DesignWidth) / 2);
    const int rightShift = std::min(0, width() - DesignWidth);
    Panel1->setGeometry(0, 0, width(), ToolPanelHeight);
    m_scroll->setGeometry(0, ToolPanelHeight, width(), std::max(0, height() - ToolPanelHeight));
    const std::array<QToolButton *, 4> navigation{SpeedButton4, SpeedButton2, SpeedButton1, SpeedButton3};
    for (size_t i = 0; i < navigation.size(); ++i)
        navigation[i]->setGeometry(left + NavigationLefts[i], (ToolPanelHeight - ToolButtonSize) / 2, ToolButtonSize,
                                   ToolButtonSize);
    Button2->setGeometry(ResultButtonPlace.translated(left + rightShift, 0));
    Button1->setGeometry(CloseButtonPlace.translated(left + rightShift, 0));
}

// Run

void TQcm::Init(const QStringList &document, const QString &pictureFolder)
{
    m_session.Init(document);
    m_pictureFolder = pictureFolder;
    SpinEdit1->setValue(0);
    if (m_results)
        m_results->clear();
}

void TQcm::run(const QStringList &document, const QString &pictureFolder)
{
    Init(document, pictureFolder);
    // Without a window manager "maximised" means nothing: take the screen's room first.
    if (const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
}

void TQcm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only the run's own showing starts it; the window system showing it again (after it was
    // minimised) keeps the question and the answers.
    if (!event->spontaneous()) {
        Compte();
        Exec();
    }
}

void TQcm::Compte()
{
    m_session.Compte();
}

void TQcm::Exec()
{
    display(m_session.Exec());
}

void TQcm::LitFiche()
{
    display(m_session.LitFiche());
}

void TQcm::display(const RunQuestion &question)
{
    Panel3->setText(tr("Question %1  ").arg(question.number));
    Memo1->clear();
    for (QLabel *label : answerLabels)
        label->clear();
    Image1->picture().clear();
    Panel2->setAccessibleDescription(QString());
    Edit1->setText(question.title);
    Edit1->setCursorPosition(0);
    for (size_t k = 0; k < answerLabels.size(); ++k)
        answerLabels[k]->setText(question.answerLines[k]);
    if (question.found && !question.picture.isEmpty())
        showPicture(question.picture);
    Memo1->setPlainText(question.freeText.join(QLatin1Char('\n')));

    SpinEdit1->setRange(0, question.answerCount);
    SpinEdit1->setValue(question.answer);
    SpinEdit1->setFocus();
    SpinEdit1->selectAll();
}

void TQcm::showPicture(const QString &path)
{
    // A picture that cannot be shown leaves the frame empty and the question shown in full:
    // the person answering cannot do anything about a missing file.
    try {
        Image1->picture().loadFromFile(PictureLocation::resolve(path, m_pictureFolder));
        Panel2->setAccessibleDescription(QcmFormat::fileNameOf(path));
        if (Picture *picture = Image1->picture().picture(); picture && picture->needsPreparation())
            picture->prepare();
        Echelle();
    } catch (...) {
        Image1->picture().clear();
        Panel2->setAccessibleDescription(QString());
    }
}

void TQcm::Echelle()
{
    Image1->Echelle();
}

// Navigation

void TQcm::Premier()
{
    m_session.Premier(SpinEdit1->value());
    LitFiche();
}

void TQcm::Precedent()
{
    m_session.Precedent(SpinEdit1->value());
    LitFiche();
}

void TQcm::Suivant()
{
    if (m_session.Suivant(SpinEdit1->value()))
        m_boxes.inform(tr("Les questionnaire est fini. C'était la dernière question"));
    LitFiche();
}

void TQcm::Dernier()
{
    m_session.Dernier(SpinEdit1->value());
    LitFiche();
}

void TQcm::SpeedButton4Click()
{
    Premier();
}

void TQcm::SpeedButton2Click()
{
    Precedent();
}

void TQcm::SpeedButton1Click()
{
    Suivant();
}

void TQcm::SpeedButton3Click()
{
    Dernier();
}

void TQcm::Button1Click()
{
    // The answer in the box is not stored: closing keeps nothing of the run but its tables.
    reject();
}

void TQcm::Button2Click()
{
    if (!m_results)
        return;
    m_results->showResults(m_session.score(SpinEdit1->value()));
    SpinEdit1->setFocus();
}

// Keys

bool TQcm::FormKeyDown(QKeyEvent *key)
{
    // Every PgDn and PgUp, from the keypad or with modifiers too: a spin box would otherwise
    // step the answer by ten.
    if (key->key() == Qt::Key_PageDown)
        Suivant();
    else if (key->key() == Qt::Key_PageUp)
        Precedent();
    else if (key->key() == Qt::Key_Escape)
        reject();
    else
        return false;
    key->accept();
    return true;
}

void TQcm::keyPressEvent(QKeyEvent *event)
{
    if (!FormKeyDown(event))
        QDialog::keyPressEvent(event);
}

bool TQcm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::ShortcutOverride && isPageKey(static_cast<QKeyEvent *>(event)->key())) {
        // Claimed here so that no shortcut of another window takes them first.
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
