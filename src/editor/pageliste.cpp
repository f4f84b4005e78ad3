#include "editor/pageliste.h"

#include "document/questionorder.h"
#include "platform/deferredicon.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <algorithm>
#include <numeric>

namespace {

constexpr int TopBarHeight = 34;
constexpr int RowHeight = 16;

// Rows of the design's height whatever the font.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), RowHeight};
    }
};

QToolButton *moveButton(QStyle::StandardPixmap arrow, const QString &tip, int left, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setGeometry(left, 5, 25, 25);
    button->setAutoRaise(true);
    setStandardIconWhenShown(button, arrow);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    // Reached with Tab (Space presses it) but not taken by a click: the list keeps the focus
    // while the mouse moves titles.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

TPageListe::TPageListe(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PageListe"));
    setWindowTitle(tr("Liste des images"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(DesignWidth, DesignHeight);
    createControls();
}

void TPageListe::createControls()
{
    SpeedButton1 = moveButton(QStyle::SP_ArrowUp, tr("Monter la question (Ctrl+Haut)"), 23, this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton2 = moveButton(QStyle::SP_ArrowDown, tr("Descendre la question (Ctrl+Bas)"), 47, this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    Button1 = new QPushButton(tr("Fermer"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(472, 3, 75, 28);
    Button1->setAutoDefault(false);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(tr("Questions"));
    ListBox1->setGeometry(0, TopBarHeight, DesignWidth, DesignHeight - TopBarHeight);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new FixedRowDelegate(ListBox1));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setFocus();

    // Tab goes from the list to the arrows, then "Fermer", as they stand on the window.
    setTabOrder(ListBox1, SpeedButton1);
    setTabOrder(SpeedButton1, SpeedButton2);
    setTabOrder(SpeedButton2, Button1);
    createMoveKeys();

    connect(SpeedButton1, &QToolButton::clicked, this, &TPageListe::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TPageListe::SpeedButton2Click);
    connect(Button1, &QPushButton::clicked, this, &TPageListe::Button1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TPageListe::ListBox1DblClick);
}

void TPageListe::createMoveKeys()
{
    // Ctrl+Up and Ctrl+Down move the chosen title from the keyboard, wherever the focus is in
    // the window; they come before the list, which would only move its cursor.
    const auto addMoveKey = [this](QKeyCombination key, void (TPageListe::*move)()) {
        auto *action = new QAction(this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, move);
    };
    addMoveKey(Qt::CTRL | Qt::Key_Up, &TPageListe::SpeedButton1Click);
    addMoveKey(Qt::CTRL | Qt::Key_Down, &TPageListe::SpeedButton2Click);
}

void TPageListe::Init(const QStringList &document, int current)
{
    const QStringList titles = QuestionOrder::listedTitles(document);
    ListBox1->clear();
    ListBox1->addItems(titles);
    m_order.resize(size_t(titles.size()));
    std::iota(m_order.begin(), m_order.end(), 0);
    // Nothing is chosen: an arrow pressed straight away must not move a question. The keyboard
    // cursor waits on the question shown, so the arrow keys start from there.
    ListBox1->clearSelection();
    if (current >= 0 && current < int(titles.size())) {
        ListBox1->setCurrentRow(current, QItemSelectionModel::NoUpdate);
        ListBox1->scrollToItem(ListBox1->currentItem(), QAbstractItemView::PositionAtCenter);
    }
    ListBox1->setFocus();
}

void TPageListe::Result(QStringList &document, bool &modified) const
{
    if (QuestionOrder::apply(document, m_order))
        modified = true;
}

int TPageListe::chosenRow() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? ListBox1->row(item) : -1;
}

int TPageListe::rowOf(int question) const
{
    const auto at = std::find(m_order.begin(), m_order.end(), question);
    return at == m_order.end() ? -1 : int(at - m_order.begin());
}

bool TPageListe::orderChanged() const
{
    for (size_t row = 0; row < m_order.size(); ++row) {
        if (m_order[row] != int(row))
            return true;
    }
    return false;
}

void TPageListe::moveSelected(int step)
{
    const int row = chosenRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= ListBox1->count())
        return;
    QListWidgetItem *item = ListBox1->takeItem(row);
    ListBox1->insertItem(target, item);
    std::swap(m_order[size_t(row)], m_order[size_t(target)]);
    ListBox1->setCurrentRow(target);
}

void TPageListe::SpeedButton1Click()
{
    moveSelected(-1);
}

void TPageListe::SpeedButton2Click()
{
    moveSelected(+1);
}

void TPageListe::ListBox1DblClick()
{
    accept();
}

void TPageListe::Button1Click()
{
    accept();
}

void TPageListe::keyPressEvent(QKeyEvent *event)
{
    // Enter closes with the selection kept, wherever the focus is.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPageListe::closeEvent(QCloseEvent *event)
{
    // The close box leaves like "Fermer", with the title chosen.
    if (isVisible())
        accept();
    event->accept();
}

void TPageListe::reject()
{
    // Escape leaves without choosing a question.
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
    QDialog::reject();
}
