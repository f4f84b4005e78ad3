#include "editor/finddialog.h"

#include <QLineEdit>

TFindDialog::TFindDialog(QWidget *parent) : SearchDialog(tr("Rechercher"), 120, 80, parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    Edit1 = addEdit(QStringLiteral("Edit1"), tr("Chercher"), {12, 8}, 37, Label1);
}

void TFindDialog::Result(QString &text) const
{
    text.clear();
    if (accepted())
        text = Edit1->text();
}
