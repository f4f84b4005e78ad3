#pragma once

#include "marking/markingsession.h"

#include <QDialog>

#include <functional>

class ClassListStore;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class ScanZoom;
struct Services;

// The teacher's look at what the scans left in doubt: each doubtful question as the scan shows
// it, the reading proposed framed, a click on a box to choose it (or "Aucune réponse"); on a
// question with several right answers a click takes a box or leaves it, and "Garder ces
// cases" keeps the boxes framed as they are; each
// copy without a printed name with its name box, the name picked from a class list or typed;
// each page that could not be read. "Enregistrer les copies prêtes" keeps the copies with
// nothing left to decide, as often as wanted: a copy is kept once.
class ReviewWindow : public QDialog
{
    Q_OBJECT

public:
    using Keep = std::function<MarkingSession::KeepReport(MarkingSession &session)>;
    // Reads another scan file into the session (a second pile, a page rescanned); nothing when
    // the teacher cancels. May throw AppError.
    using AddScan = std::function<void(MarkingSession &session)>;

    ReviewWindow(MarkingSession &session, const ClassListStore &classLists, Services &services, Keep keep,
                 AddScan addScan = {}, QWidget *parent = nullptr);

    QListWidget *ReviewList = nullptr;
    QLabel *ItemLabel = nullptr;
    ScanZoom *Zoom = nullptr;
    QLabel *ReadingLabel = nullptr;
    QPushButton *NoAnswerButton = nullptr;
    QPushButton *AcceptBoxesButton = nullptr;
    QComboBox *ClassCombo = nullptr;
    QComboBox *PupilCombo = nullptr;
    QPushButton *NameButton = nullptr;
    QLabel *SummaryLabel = nullptr;
    QPushButton *AddScanButton = nullptr;
    QPushButton *SaveButton = nullptr;
    QPushButton *CloseButton = nullptr;

protected:
    void reject() override;

private Q_SLOTS:
    void showItem(int row);
    void chooseBox(int index);
    void chooseNoAnswer();
    void acceptBoxes();
    void fillPupils();
    void acceptName();
    void saveReadyCopies();
    void addScan();

private:
    void createControls();
    void createLayout();
    void fillList();
    void refresh();
    // What box `index` of the question is called on the copy: its printed number.
    int boxNumber(const ReadCopy &copy, const CopyQuestion &question, int index) const;
    // "case 3", "cases 2 et 4", "aucune réponse": the boxes `indexes` by their printed numbers.
    QString boxesLabel(const ReadCopy &copy, const CopyQuestion &question, const std::vector<int> &indexes) const;
    // The teacher's decision on the current question, then on to what is left.
    void settle(AnswerSet answers);
    const CopyQuestion *currentQuestion() const;
    const MarkingSession::ReviewItem *currentItem() const;

    MarkingSession &m_session;
    const ClassListStore &m_classLists;
    Services &m_services;
    Keep m_keep;
    AddScan m_addScan;
    std::vector<MarkingSession::ReviewItem> m_items;
};
