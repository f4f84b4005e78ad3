#pragma once

#include <QDialog>
#include <QMessageBox>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// A message box with a short text and, below it, details that may run to thousands of lines,
// read-only in a list that scrolls. However long the details, the box fits the screen it opens
// on, so its OK button stays in reach.
class DetailsMessageBox : public QDialog
{
    Q_OBJECT

public:
    DetailsMessageBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                      const QString &details, QWidget *parent = nullptr);

private:
    void createControls(QMessageBox::Icon icon, const QString &text, const QString &details);
    void fitToScreen();

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *OKBtn = nullptr;
};
