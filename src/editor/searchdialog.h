#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// What the find and replace dialogs share: edit boxes under their captions, "OK" and "Annuler"
// at the bottom right, and a verdict that "OK" or Enter in an edit box sets and that "Annuler",
// Escape or the close box clears. The boxes keep their texts from one use to the next.
class SearchDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 350;

    // Qt keeps the last closing's result, and clears it when the dialog opens again.
    bool accepted() const { return result() == QDialog::Accepted; }

    QPushButton *Button1 = nullptr; // "OK"
    QPushButton *Button2 = nullptr; // "Annuler"

protected:
    SearchDialog(const QString &caption, int height, int buttonsTop, QWidget *parent);
    QLineEdit *addEdit(const QString &name, const QString &caption, QPoint captionAt, int editTop, QLabel *&label);
    void showEvent(QShowEvent *event) override;

private Q_SLOTS:
    void Button1Click();
    void Button2Click();
    void Edit1KeyPress();

private:
    QLineEdit *m_firstEdit = nullptr;
};
