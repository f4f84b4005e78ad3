#include "accessories/horloge.h"

#include "accessories/spinbutton.h"
#include "platform/desktopconventions.h"
#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "platform/systemclock.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 277;
constexpr int ClientHeight = 156;
constexpr int RefreshInterval = 1000;

void paint(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

THorloge::THorloge(Services &services, QWidget *parent)
    : QDialog(parent), m_boxes(services.boxes), m_clock(services.clock)
{
    setWindowTitle(tr("Horloge"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    createPanel();
    createFieldSelector();
    createButtons();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(RefreshInterval);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &THorloge::Timer1Timer);
}

void THorloge::createPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, ClientWidth, ClientHeight);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    paint(Panel1, QPalette::Window, Qt::black);
    paint(Panel1, QPalette::WindowText, Qt::white);

    Label1 = createTimeBox(QStringLiteral("Label1"), 12, QStringLiteral("18:23:00"));

    Label4 = new QLabel(tr("---------"), Panel1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(8, 52, 153, 2);
    Label4->setAutoFillBackground(true);
    paint(Label4, QPalette::Window, Qt::white);

    Label2 = createTimeBox(QStringLiteral("Label2"), 63, QStringLiteral("20/10/1998"));

    Label3 = new QLabel(tr("NELO"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(designFont(QStringLiteral("Arial"), 36, true, true));
    Label3->setGeometry(14, 104, 140, 44);
}

QLabel *THorloge::createTimeBox(const QString &name, int top, const QString &sample)
{
    auto *box = new QFrame(Panel1);
    box->setObjectName(name + QStringLiteral("Box"));
    box->setGeometry(12, top, 142, 34);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setAutoFillBackground(true);
    paint(box, QPalette::Window, QColor(192, 192, 192));
    auto *label = new QLabel(sample, box);
    label->setObjectName(name);
    label->setGeometry(box->contentsRect());
    label->setAlignment(Qt::AlignCenter);
    label->setFont(designFont(QStringLiteral("Arial"), 24, true));
    paint(label, QPalette::WindowText, Qt::black);
    return label;
}

void THorloge::createFieldSelector()
{
    RadioGroup1 = new QGroupBox(Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(162, 6, 58, 94);
    auto *layout = new QVBoxLayout(RadioGroup1);
    layout->setContentsMargins(6, 3, 2, 3);
    layout->setSpacing(0);
    m_fields = new QButtonGroup(this);
    const QStringList items{tr("Hr"), tr("Mn"), tr("Jo"), tr("Mo"), tr("An")};
    // The captions are abbreviations: a screen reader says the whole words.
    const QStringList fieldNames{tr("Heures"), tr("Minutes"), tr("Jour"), tr("Mois"), tr("Année")};
    for (int i = 0; i < int(items.size()); ++i) {
        auto *item = new QRadioButton(items.at(i), RadioGroup1);
        item->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        item->setAccessibleName(fieldNames.at(i));
        item->setFont(designFont(QStringLiteral("Arial"), 12, true));
        paint(item, QPalette::WindowText, Qt::white);
        layout->addWidget(item);
        m_fields->addButton(item, i);
    }
}

void THorloge::createButtons()
{
    SpinButton1 = new SpinButton(Panel1);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    SpinButton1->setAccessibleName(tr("Avancer ou reculer le champ choisi"));
    SpinButton1->setGeometry(236, 26, 20, 25);
    // Dark arrows on light buttons, not the panel's white.
    paint(SpinButton1, QPalette::WindowText, Qt::black);
    paint(SpinButton1, QPalette::ButtonText, Qt::black);
    connect(SpinButton1, &SpinButton::upClick, this, &THorloge::SpinButton1UpClick);
    connect(SpinButton1, &SpinButton::downClick, this, &THorloge::SpinButton1DownClick);

    Button2 = new QPushButton(tr("Set"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    // The caption is the design's English word; a screen reader says what it does, in French.
    Button2->setAccessibleName(tr("Régler la date et l'heure"));
    Button2->setGeometry(228, 66, 37, 24);
    connect(Button2, &QPushButton::clicked, this, &THorloge::Button2Click);

    Button1 = new QPushButton(tr("Fermer"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(162, 112, 86, 32);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    // "Fermer" first: it holds the focus when the window opens.
    setTabOrder(Button1, RadioGroup1);
    setTabOrder(RadioGroup1, SpinButton1);
    setTabOrder(SpinButton1, Button2);
}

std::optional<ClockField> THorloge::selectedField() const
{
    const int index = m_fields->checkedId();
    if (index < 0)
        return std::nullopt;
    return ClockField(index);
}

// Window events

void THorloge::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void THorloge::hideEvent(QHideEvent *event)
{
    FormDeactivate();
    QDialog::hideEvent(event);
}

void THorloge::FormActivate()
{
    // Every opening starts running: an edit left unapplied at the last closing is abandoned.
    m_editMode = false;
    Timer1Timer();
    Timer1->start();
    Button1->setFocus();
}

void THorloge::FormDeactivate()
{
    Timer1->stop();
}

void THorloge::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Escape closes from "Fermer" or the window itself; the selector, the spin button and
    // "Set" leave it alone.
    QWidget *focused = focusWidget();
    if (!focused || focused == this || focused == Button1)
        reject();
    event->accept();
}

// Time and stepping

void THorloge::Timer1Timer()
{
    showTexts(ClockTexts::of(m_clock.now()));
}

ClockTexts THorloge::shownTexts() const
{
    return {Label1->text(), Label2->text()};
}

void THorloge::showTexts(const ClockTexts &texts)
{
    Label1->setText(texts.time);
    Label2->setText(texts.date);
}

void THorloge::stepSelectedField(StepDirection direction)
{
    const std::optional<ClockField> field = selectedField();
    if (!field)
        return;
    runGuarded(m_boxes, [this, field, direction] {
        ClockTexts texts = shownTexts();
        texts.step(*field, direction);
        showTexts(texts);
    });
}

void THorloge::SpinButton1UpClick()
{
    stepSelectedField(StepDirection::Up);
}

void THorloge::SpinButton1DownClick()
{
    stepSelectedField(StepDirection::Down);
}

void THorloge::Button2Click()
{
    m_editMode = !m_editMode;
    if (!m_editMode)
        runGuarded(m_boxes, [this] { Modifie(); });
    // Even after a failed apply the display follows the clock again: a frozen display that
    // no longer answers "Set" would look like a stopped clock.
    if (m_editMode)
        Timer1->stop();
    else
        Timer1->start();
}

void THorloge::Modifie()
{
    const QDateTime moment = shownTexts().moment();
    if (!moment.isValid() || !m_clock.setSystemTime(moment))
        m_boxes.warn(tr("L'horloge du système n'a pas pu être réglée."));
}
