#include "editor/searchdialog.h"

#include "platform/firstshow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int EditLeft = 16;
constexpr int EditWidth = 321;
constexpr int EditHeight = 24;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

} // namespace

SearchDialog::SearchDialog(const QString &caption, int height, int buttonsTop, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(DesignWidth, height);

    Button1 = new QPushButton(tr("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(258, buttonsTop, ButtonWidth, ButtonHeight);
    Button2 = new QPushButton(tr("Annuler"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(170, buttonsTop, ButtonWidth, ButtonHeight);
    connect(Button1, &QPushButton::clicked, this, &SearchDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &SearchDialog::Button2Click);
}

QLineEdit *SearchDialog::addEdit(const QString &name, const QString &caption, QPoint captionAt, int editTop,
                                 QLabel *&label)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(EditLeft, editTop, EditWidth, EditHeight);
    label = new QLabel(caption, this);
    label->move(captionAt);
    adjustSizeWhenShown(label);
    label->setBuddy(edit);
    connect(edit, &QLineEdit::returnPressed, this, &SearchDialog::Edit1KeyPress);
    if (!m_firstEdit) {
        m_firstEdit = edit;
        // The edit boxes come first in the tab order, then "OK" and "Annuler".
        setTabOrder(edit, Button1);
    } else {
        setTabOrder(m_firstEdit, edit);
        setTabOrder(edit, Button1);
    }
    setTabOrder(Button1, Button2);
    return edit;
}

void SearchDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // FormShow: the text is typed straight away, over the previous one.
    if (m_firstEdit) {
        m_firstEdit->setFocus();
        m_firstEdit->selectAll();
    }
}

void SearchDialog::Button1Click()
{
    accept();
}

void SearchDialog::Button2Click()
{
    reject();
}

void SearchDialog::Edit1KeyPress()
{
    accept();
}
