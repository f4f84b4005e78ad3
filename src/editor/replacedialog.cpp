#include "editor/replacedialog.h"

#include <QLineEdit>

TReplaceDialog::TReplaceDialog(QWidget *parent) : SearchDialog(tr("Remplacer"), 173, 140, parent)
{
    setObjectName(QStringLiteral("ReplaceDialog"));
    Edit1 = addEdit(QStringLiteral("Edit1"), tr("Chercher"), {12, 8}, 37, Label1);
    Edit2 = addEdit(QStringLiteral("Edit2"), tr("Remplacer par"), {15, 76}, 99, Label2);
}

void TReplaceDialog::Result(QString &search, QString &replacement) const
{
    search.clear();
    if (!accepted())
        return;
    search = Edit1->text();
    replacement = Edit2->text();
}
