#include "platform/detailsmessagebox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace {

// The list shows this many lines before it scrolls, fewer when the screen is small.
constexpr int VisibleDetailLines = 16;
// The share of the screen the box may take, leaving room for the window frame and the panel.
constexpr double ScreenShare = 0.85;
constexpr int MinimumWidth = 420;

} // namespace

DetailsMessageBox::DetailsMessageBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                                     const QString &details, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    createControls(icon, text, details);
    fitToScreen();
}

void DetailsMessageBox::createControls(QMessageBox::Icon icon, const QString &text, const QString &details)
{
    auto *iconLabel = new QLabel;
    iconLabel->setPixmap(QMessageBox::standardIcon(icon));
    iconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel(text);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(details);
    Memo1->setAccessibleName(tr("Détails"));

    auto *buttons = new QDialogButtonBox;
    OKBtn = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(iconLabel, 0, 0, 2, 1);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(Memo1, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);
    OKBtn->setFocus();
}

void DetailsMessageBox::fitToScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize largest(int(available.width() * ScreenShare), int(available.height() * ScreenShare));

    // As wide as the longest line, within the screen; a longer line wraps.
    const QFontMetrics metrics(Memo1->font());
    int widest = 0;
    const QStringList lines = Memo1->toPlainText().split(QLatin1Char('\n'));
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int chrome = 2 * Memo1->frameWidth() + 2 * int(Memo1->document()->documentMargin())
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int shownLines = std::min<int>(int(lines.size()), VisibleDetailLines);
    Memo1->setMinimumHeight(std::min(shownLines * metrics.lineSpacing() + chrome, largest.height() / 2));

    const int besideMemo = sizeHint().width() - Memo1->sizeHint().width();
    const int width = std::clamp(widest + chrome + besideMemo, MinimumWidth, std::max(MinimumWidth, largest.width()));
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : sizeHint().height();
    setMaximumSize(available.size());
    resize(std::min(width, available.width()), std::min(height, largest.height()));
    move(available.center() - rect().center());
}
