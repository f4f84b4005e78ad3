#pragma once

#include "editor/searchdialog.h"

// "Remplacer": the text looked for and its replacement.
class TReplaceDialog : public SearchDialog
{
    Q_OBJECT

public:
    explicit TReplaceDialog(QWidget *parent = nullptr);
    // When the dialog was confirmed, both texts as typed; otherwise `search` is empty and
    // `replacement` is left as it was.
    void Result(QString &search, QString &replacement) const;

    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Edit2 = nullptr;
};
