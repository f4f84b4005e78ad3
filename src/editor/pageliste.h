#pragma once

#include <QDialog>

#include <vector>

class QListWidget;
class QPushButton;
class QToolButton;

// The question list ("Liste des images"): every title in question order. The author moves a
// title up or down to reorder the questions and picks one to go to it. Closing it with Escape
// or its close box picks nothing; the new order is written back however it was closed.
class TPageListe : public QDialog
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 566;
    static constexpr int DesignHeight = 343;

    explicit TPageListe(QWidget *parent = nullptr);

    // Fills the list from the questionnaire; `current` (a question number) is selected.
    void Init(const QStringList &document, int current = -1);
    // Writes the order of the list back into `document` by exchanging block numbers; sets
    // `modified` when a line changed and leaves it alone otherwise.
    void Result(QStringList &document, bool &modified) const;
    // The chosen row, that is the question number after the write-back; -1 when none.
    int chosenRow() const;
    // The row that now holds the question numbered `question` when the list was filled.
    int rowOf(int question) const;

    QToolButton *SpeedButton1 = nullptr; // move up
    QToolButton *SpeedButton2 = nullptr; // move down
    QPushButton *Button1 = nullptr;      // "Fermer"
    QListWidget *ListBox1 = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private Q_SLOTS:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void ListBox1DblClick();
    void Button1Click();

private:
    void createControls();
    void moveSelected(int step);

    // The question number each row had when the list was filled, in row order.
    std::vector<int> m_order;
};
