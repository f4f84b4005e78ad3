#pragma once

#include "editor/searchdialog.h"

// "Rechercher": the text looked for in the question titles.
class TFindDialog : public SearchDialog
{
    Q_OBJECT

public:
    explicit TFindDialog(QWidget *parent = nullptr);
    // The text typed when the dialog was confirmed, else empty.
    void Result(QString &text) const;

    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
};
