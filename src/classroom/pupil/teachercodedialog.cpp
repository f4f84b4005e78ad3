#include "classroom/pupil/teachercodedialog.h"

#include "classroom/pupil/teachercode.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TeacherCodeDialog::TeacherCodeDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TeacherCodeDialog"));
    setWindowTitle(tr("Code de l'enseignant"));
    setMinimumWidth(420);

    auto *intro = new QLabel(tr("Choisissez un code : il sera demandé pour arrêter la passation et retrouver "
                                "le questionnaire. Il n'est enregistré nulle part."),
                             this);
    intro->setWordWrap(true);
    auto makeEdit = [this](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(TeacherCode::MaximumLength);
        return edit;
    };
    CodeEdit = makeEdit(QStringLiteral("CodeEdit"));
    ConfirmEdit = makeEdit(QStringLiteral("ConfirmEdit"));
    ProblemLabel = new QLabel(this);
    ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setTextFormat(Qt::PlainText);
    ProblemLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
    ProblemLabel->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OkButton = buttons->button(QDialogButtonBox::Ok);
    OkButton->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TeacherCodeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(intro);
    form->addRow(tr("&Code :"), CodeEdit);
    form->addRow(tr("C&onfirmation :"), ConfirmEdit);
    form->addRow(ProblemLabel);
    form->addRow(buttons);
    CodeEdit->setFocus();
}

QString TeacherCodeDialog::code() const
{
    return CodeEdit->text();
}

void TeacherCodeDialog::accept()
{
    QString problem = TeacherCode::problemWith(CodeEdit->text());
    if (problem.isEmpty() && ConfirmEdit->text() != CodeEdit->text())
        problem = tr("Les deux codes tapés diffèrent.");
    if (!problem.isEmpty()) {
        ProblemLabel->setText(problem);
        ProblemLabel->show();
        ConfirmEdit->clear();
        CodeEdit->setFocus();
        CodeEdit->selectAll();
        return;
    }
    QDialog::accept();
}
