#pragma once

#include <QDate>
#include <QDialog>

class MessageBoxes;
class MonthGridView;
class QFrame;
class QLabel;
class QPushButton;
struct Services;

// "Calendrier": the days of one month under its name and year, with buttons to the previous and
// the next month. The date shown starts as today and is kept between openings.
class TCalendrier : public QDialog
{
    Q_OBJECT

public:
    explicit TCalendrier(Services &services, QWidget *parent = nullptr);

    QDate GridDate() const;

    QFrame *Panel1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // "Mois", back
    QPushButton *BitBtn2 = nullptr; // "Mois", forward
    QPushButton *Button1 = nullptr; // "Fermer"
    QLabel *Label1 = nullptr;       // "mmmmm  yyyy"
    MonthGridView *Calendar1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void BitBtn1Click();
    void BitBtn2Click();
    void Calendar1Change();

private:
    void createPanel();
    QPushButton *createMonthButton(const QString &name, int left, Qt::ArrowType arrow);
    void createGrid(const QDate &today);
    void setTabOrders();

    void FormActivate();
    bool Calendar1KeyDown(QObject *watched, int key);
    bool changeMonth(int delta);

    MessageBoxes &m_boxes;
};
