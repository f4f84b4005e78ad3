#pragma once

#include <QDialog>

#include <vector>

class QListWidget;
class QPushButton;
class QToolButton;

// The question list ("Liste des images"): every title in question order. The author chooses a
// title, moves it up or down (the arrow buttons, or Ctrl+Up and Ctrl+Down) to reorder the
// questions, and closes the list to go to the chosen one. It opens with nothing chosen, so the
// arrows do nothing until a title is. Escape picks nothing; "Fermer", Enter, a double click and
// the close box keep the choice. The new order is written back however it was closed.
class TPageListe : public QDialog
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 566;
    static constexpr int DesignHeight = 343;

    explicit TPageListe(QWidget *parent = nullptr);

    // Fills the list from the questionnaire, nothing chosen; the keyboard starts from `current`
    // (a question number), which is scrolled into view.
    void Init(const QStringList &document, int current = -1);
    // Writes the order of the list back into `document` by exchanging block numbers; sets
    // `modified` when a line changed and leaves it alone otherwise.
    void Result(QStringList &document, bool &modified) const;
    // The chosen row, that is the question number after the write-back; -1 when none.
    int chosenRow() const;
    // The row that now holds the question numbered `question` when the list was filled.
    int rowOf(int question) const;
    // Whether a title was moved since the list was filled.
    bool orderChanged() const;

    QToolButton *SpeedButton1 = nullptr; // move up
    QToolButton *SpeedButton2 = nullptr; // move down
    QPushButton *Button1 = nullptr;      // "Fermer"
    QListWidget *ListBox1 = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void ListBox1DblClick();
    void Button1Click();

private:
    void createControls();
    void createMoveKeys();
    void moveSelected(int step);

    // The question number each row had when the list was filled, in row order.
    std::vector<int> m_order;
};
