#include "accessories/pocket.h"

#include "accessories/displaylabel.h"

#include "platform/desktopconventions.h"
#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/services.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr QSize ClientSize(342, 219);
constexpr QSize KeySize(34, 33);
constexpr QSize CloseSize(74, 33);
constexpr int DisplayHeight = 49;
constexpr int DisplayWidth = 185;
constexpr int DisplayFrame = 3;
constexpr int DisplayFontPixels = 18;
constexpr int Rows[] = {57, 97, 137, 177};
constexpr int Columns[] = {8, 56, 104, 152, 200, 248};

const QColor Teal(0, 128, 128);
const QColor Navy(0, 0, 128);
const QColor Silver(192, 192, 192);

void paintBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TPocket::TPocket(Services &services, QWidget *parent) : QDialog(parent), m_boxes(services.boxes)
{
    setObjectName(QStringLiteral("Pocket"));
    setWindowTitle(tr("Calculatrice"));
    // A fixed dialog frame with a close box and nothing else.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientSize);
    paintBackground(this, Teal);

    createDisplay();
    createButtons();
    setButtonTabOrder();
}

void TPocket::createDisplay()
{
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(0, 0, ClientSize.width(), DisplayHeight);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    paintBackground(Bevel1, Qt::white);

    Panel1 = new QFrame(Bevel1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(4, 4, DisplayWidth, DisplayHeight - 8);
    paintBackground(Panel1, Navy);

    Label1 = new DisplayLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Panel1->rect().adjusted(DisplayFrame, DisplayFrame, -DisplayFrame, -DisplayFrame));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setFont(designFont(QStringLiteral("Arial"), DisplayFontPixels, true));
    Label1->setContentsMargins(0, 0, 4, 0);
    paintBackground(Label1, Silver);
    QPalette text = Label1->palette();
    text.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(text);

    Label2 = new QLabel(Bevel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(192, 8, 147, 9);
    paintBackground(Label2, Qt::red);
}

QPushButton *TPocket::addKeyButton(const QString &name, const QString &caption, QChar key, int left, int top)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(QRect(QPoint(left, top), KeySize));
    m_buttonForKey.insert(key, button);
    connect(button, &QPushButton::clicked, this, [this, key] { pressKey(key); });
    return button;
}

void TPocket::createButtons()
{
    const auto name = [](int number) { return QStringLiteral("Button%1").arg(number); };
    // Digits 1 to 9 in three rows from the top, 7 8 9 first, as on a pocket calculator.
    for (int digit = 1; digit <= 9; ++digit) {
        const int row = 2 - (digit - 1) / 3;
        const int column = (digit - 1) % 3;
        digitButtons[size_t(digit)] = addKeyButton(name(digit), QString::number(digit), QChar(u'0' + digit),
                                                   Columns[column], Rows[row]);
    }
    digitButtons[0] = addKeyButton(name(0), QStringLiteral("0"), QLatin1Char('0'), Columns[1], Rows[3]);
    Button10 = addKeyButton(name(10), QStringLiteral(","), Calculator::Comma, Columns[0], Rows[3]);
    Button11 = addKeyButton(name(11), QStringLiteral("="), Calculator::Equals, Columns[2], Rows[3]);
    Button12 = addKeyButton(name(12), QStringLiteral("+"), QLatin1Char('+'), Columns[3], Rows[0]);
    Button13 = addKeyButton(name(13), QStringLiteral("-"), QLatin1Char('-'), Columns[3], Rows[1]);
    Button14 = addKeyButton(name(14), QStringLiteral("*"), QLatin1Char('*'), Columns[3], Rows[2]);
    Button15 = addKeyButton(name(15), QStringLiteral("/"), QLatin1Char('/'), Columns[3], Rows[3]);
    Button16 = addKeyButton(name(16), tr("1/x"), Calculator::Reciprocal, Columns[4], Rows[0]);
    Button17 = addKeyButton(name(17), tr("sqr"), Calculator::SquareRoot, Columns[4], Rows[1]);
    Button18 = addKeyButton(name(18), tr("C"), Calculator::Clear, Columns[4], Rows[2]);

    Button19 = new QPushButton(tr("Fermer"), this);
    Button19->setObjectName(name(19));
    Button19->setGeometry(QRect(QPoint(Columns[5], Rows[3]), CloseSize));
    connect(Button19, &QPushButton::clicked, this, &QDialog::reject);
}

void TPocket::setButtonTabOrder()
{
    QList<QWidget *> order;
    for (int digit = 1; digit <= 9; ++digit)
        order.append(digitButtons[size_t(digit)]);
    order << digitButtons[0] << Button10 << Button11 << Button12 << Button13 << Button14 << Button15 << Button16
          << Button17 << Button18 << Button19;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TPocket::showEvent(QShowEvent *event)
{
    // Each opening (the window is modal) starts from a cleared calculator.
    FormActivate();
    QDialog::showEvent(event);
}

void TPocket::FormActivate()
{
    m_calculator.reset();
    showDisplay();
    Button11->setFocus();
}

void TPocket::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused button does not use arrive here, from every button alike: the key map
    // works wherever the focus is, "1/x" and "sqr" included.
    if (FormKeyPress(event->text()))
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

bool TPocket::FormKeyPress(const QString &typed)
{
    if (typed.size() != 1)
        return false;
    QPushButton *button = m_buttonForKey.value(Calculator::keyFor(typed.front()));
    if (!button)
        return false;
    // As a click would: the button takes the focus, so Enter then presses it again.
    button->setFocus(Qt::OtherFocusReason);
    button->click();
    return true;
}

void TPocket::pressKey(QChar key)
{
    runGuarded(m_boxes, [this, key] { m_calculator.press(key); });
    // Also after a failure: a failing function key still shows the value it computed.
    showDisplay();
    // Clearing gives the focus back to "=", as opening does, so that Enter evaluates.
    if (key == Calculator::Clear)
        Button11->setFocus(Qt::OtherFocusReason);
}

void TPocket::showDisplay()
{
    Label1->setText(m_calculator.displayText());
}
