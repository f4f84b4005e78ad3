#pragma once

#include <QAbstractTableModel>

class NetworkSession;

// The class as the teacher watches it: one row per pupil who joined, in the order they joined,
// with how far they are, whether they finished, and their mark once they have, which stays
// hidden until the teacher chooses to show it (the screen may be the class's projector).
class SessionTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, AnsweredColumn, StateColumn, MarkColumn, ColumnCount };

    explicit SessionTableModel(NetworkSession &session, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setMarksShown(bool shown);
    bool marksShown() const { return m_marksShown; }

    // "12 élèves, 5 ont terminé"
    QString summary() const;

private:
    void pupilJoined(int index);
    void pupilChanged(int index);
    void everyRowChanged();
    QString stateText(int row) const;

    NetworkSession &m_session;
    int m_rows = 0;
    bool m_marksShown = false;
};
