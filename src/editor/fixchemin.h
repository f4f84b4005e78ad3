#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The path dialog ("Fixer le chemin"): one directory chosen in a directory tree, for
// "Chemins absolus". The tree shows the way from "/" down to the chosen directory and the
// folders inside it; opening a folder (double click or Enter) makes it the chosen directory and
// the process's current directory, so bare picture names are then looked for there. The dialog
// is only hidden between uses and opens again on the directory chosen last.
class TFixchemin : public QDialog
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 530;
    static constexpr int DesignHeight = 290;

    // Starts on the process's current directory; later showings start on the one chosen last.
    explicit TFixchemin(QWidget *parent = nullptr);

    // The chosen directory when the dialog was confirmed with "OK", else empty.
    void Result(QString &directory) const;
    const QString &chosenDirectory() const { return m_chosen; }
    // What opening a folder in the tree does. A folder that cannot be entered is left alone.
    bool openDirectory(const QString &path);

    QLabel *Label1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label2 = nullptr; // shows the chosen directory
    QTreeWidget *DirectoryListBox1 = nullptr;
    QPushButton *Button1 = nullptr; // "OK"
    QPushButton *Button2 = nullptr; // "Annuler"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private Q_SLOTS:
    void Button1Click();
    void Button2Click();
    void openItem(QTreeWidgetItem *item);

private:
    void createControls();
    void showDirectory(const QString &path);

    QString m_chosen;
};
