#include "accessories/calendrier.h"

#include "accessories/monthgridview.h"
#include "platform/desktopconventions.h"
#include "platform/errorguard.h"
#include "platform/frenchconventions.h"
#include "platform/services.h"
#include "platform/systemclock.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int PanelHeight = 96;
constexpr int GridWidth = 372;
constexpr int GridHeight = 143;
const QColor Teal(0, 128, 128);
const QColor TriangleGreen(0, 128, 0);

QIcon triangle(Qt::ArrowType arrow)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(TriangleGreen);
    const QPolygonF pointingLeft{{3, 8}, {12, 2}, {12, 14}};
    const QPolygonF pointingRight{{13, 8}, {4, 2}, {4, 14}};
    painter.drawPolygon(arrow == Qt::LeftArrow ? pointingLeft : pointingRight);
    return QIcon(picture);
}

} // namespace

TCalendrier::TCalendrier(Services &services, QWidget *parent) : QDialog(parent), m_boxes(services.boxes)
{
    setWindowTitle(tr("Calendrier"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    createPanel();
    createGrid(services.clock.now().date());
    setTabOrders();
    setMinimumSize(GridWidth, PanelHeight + GridHeight);
    resize(GridWidth, PanelHeight + GridHeight);
}

void TCalendrier::createPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette colours = Panel1->palette();
    colours.setColor(QPalette::Window, Teal);
    Panel1->setPalette(colours);

    BitBtn1 = createMonthButton(QStringLiteral("BitBtn1"), 16, Qt::LeftArrow);
    BitBtn1->setAccessibleName(tr("Mois précédent"));
    connect(BitBtn1, &QPushButton::clicked, this, &TCalendrier::BitBtn1Click);
    BitBtn2 = createMonthButton(QStringLiteral("BitBtn2"), 126, Qt::RightArrow);
    BitBtn2->setAccessibleName(tr("Mois suivant"));
    connect(BitBtn2, &QPushButton::clicked, this, &TCalendrier::BitBtn2Click);

    Button1 = new QPushButton(tr("Fermer"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(262, 10, 89, 33);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button1->installEventFilter(this);

    Label1 = new QLabel(tr("1998"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(designFont(QStringLiteral("Arial"), 24, true));
    colours = Label1->palette();
    colours.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(colours);
}

QPushButton *TCalendrier::createMonthButton(const QString &name, int left, Qt::ArrowType arrow)
{
    auto *button = new QPushButton(triangle(arrow), tr("Mois"), Panel1);
    button->setObjectName(name);
    button->setGeometry(left, 10, 89, 33);
    // Forward's triangle stands at the right of its caption.
    if (arrow == Qt::RightArrow)
        button->setLayoutDirection(Qt::RightToLeft);
    button->installEventFilter(this);
    return button;
}

void TCalendrier::createGrid(const QDate &today)
{
    Calendar1 = new MonthGridView(today, this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setAccessibleName(tr("Jours du mois"));
    Calendar1->setGeometry(0, PanelHeight, GridWidth, GridHeight);
    connect(Calendar1, &MonthGridView::changed, this, &TCalendrier::Calendar1Change);
    Calendar1->installEventFilter(this);
}

void TCalendrier::setTabOrders()
{
    setTabOrder(Calendar1, Button1);
    setTabOrder(Button1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    Calendar1->setFocus();
}

QDate TCalendrier::GridDate() const
{
    return Calendar1->grid().date();
}

void TCalendrier::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // The panel and its caption follow the width; the grid keeps its size and place.
    Panel1->setGeometry(0, 0, width(), PanelHeight);
    Label1->setGeometry(0, 50, width(), 40);
}

void TCalendrier::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TCalendrier::FormActivate()
{
    // Only the caption: the grid already shows the month it was left on.
    Calendar1Change();
}

void TCalendrier::Calendar1Change()
{
    Label1->setText(Calendar1->grid().caption(frenchLocale(QLocale())));
}

bool TCalendrier::changeMonth(int delta)
{
    return runGuarded(m_boxes, [this, delta] { Calendar1->changeMonth(delta); });
}

void TCalendrier::BitBtn1Click()
{
    changeMonth(-1);
}

void TCalendrier::BitBtn2Click()
{
    changeMonth(1);
}

bool TCalendrier::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        return Calendar1KeyDown(watched, static_cast<QKeyEvent *>(event)->key());
    return QDialog::eventFilter(watched, event);
}

// Runs before the grid's own key handling: in the grid, Page Down shows the next month and the
// grid then moves the selection to row 6 (Page Up: the previous month, row 1). In the buttons
// the Page keys only change the month. Returns whether the key is used up.
bool TCalendrier::Calendar1KeyDown(QObject *watched, int key)
{
    switch (key) {
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (!changeMonth(key == Qt::Key_PageDown ? 1 : -1))
            return true;
        return watched != Calendar1;
    case Qt::Key_Escape:
        reject();
        return true;
    default:
        return false;
    }
}
