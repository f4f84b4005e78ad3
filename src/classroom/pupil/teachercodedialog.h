#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Code de l'enseignant": the code chosen when a class run starts, typed twice; it will be
// asked for to stop the run. code() is read once the dialog is accepted.
class TeacherCodeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TeacherCodeDialog(QWidget *parent = nullptr);

    QString code() const;

    QLineEdit *CodeEdit = nullptr;
    QLineEdit *ConfirmEdit = nullptr;
    QLabel *ProblemLabel = nullptr;
    QPushButton *OkButton = nullptr;

public Q_SLOTS:
    void accept() override;
};
