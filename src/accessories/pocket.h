#pragma once

#include "accessories/calculator.h"
#include "accessories/displaylabel.h"

#include <QDialog>
#include <QHash>

#include <array>

class MessageBoxes;
class QFrame;
class QLabel;
class QPushButton;
struct Services;

// "Calculatrice": the pocket calculator's window. Every button and every key of the key map
// goes to the one Calculator; the window shows its display text and puts its failures in the
// standard error box. Each opening starts from a cleared calculator with "=" focused, so that
// Enter evaluates.
class TPocket : public QDialog
{
    Q_OBJECT

public:
    explicit TPocket(Services &services, QWidget *parent = nullptr);

    const Calculator &calculator() const { return m_calculator; }

    // Controls, named as on the design.
    QFrame *Bevel1 = nullptr;   // the white display strip
    QFrame *Panel1 = nullptr;   // the navy frame of the display
    DisplayLabel *Label1 = nullptr;   // the display
    QLabel *Label2 = nullptr;   // the red bar
    std::array<QPushButton *, 10> digitButtons{}; // Button0 to Button9
    QPushButton *Button10 = nullptr; // ","
    QPushButton *Button11 = nullptr; // "="
    QPushButton *Button12 = nullptr; // "+"
    QPushButton *Button13 = nullptr; // "-"
    QPushButton *Button14 = nullptr; // "*"
    QPushButton *Button15 = nullptr; // "/"
    QPushButton *Button16 = nullptr; // "1/x"
    QPushButton *Button17 = nullptr; // "sqr"
    QPushButton *Button18 = nullptr; // "C"
    QPushButton *Button19 = nullptr; // "Fermer"

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createDisplay();
    void createButtons();
    void setButtonTabOrder();
    QPushButton *addKeyButton(const QString &name, const QString &caption, QChar key, int left, int top);

    void FormActivate();
    bool FormKeyPress(const QString &typed);
    void pressKey(QChar key);
    void showDisplay();

    MessageBoxes &m_boxes;
    Calculator m_calculator;
    QHash<QChar, QPushButton *> m_buttonForKey;
};
