#pragma once

#include <QDialog>

class QPushButton;

// "A propos": the program's icon, name, version and what it is for.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createPanel();
};
