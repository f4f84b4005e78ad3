#pragma once

#include <QWidget>

#include <functional>

class LiveChart;
class LivePacing;
class QLabel;
class QStackedLayout;
class QrCodeView;
class SessionPictures;

// The class's screen in a live run: how to join while the teacher waits, then the question on
// the projector in large type (its picture, its answers), how many of the joined pupils have
// answered, and once the teacher shows them the class's answers as a chart and the right
// answers marked. It shows no control and no pupil's name: the teacher steers from his own
// window, or here with the keys of a presenter remote (PgDn, PgUp, arrows, space).
class ProjectorWindow : public QWidget
{
    Q_OBJECT

public:
    // `pictures` (may be null: none shown) are the session's, made ready for the pages;
    // `pageAddress` tells where the pupils join ("http://192.168.1.20:8080/").
    ProjectorWindow(LivePacing &pacing, const SessionPictures *pictures, std::function<QString()> pageAddress,
                    QWidget *parent = nullptr);

    // Full screen on a second screen when there is one (not the teacher's); its own window
    // otherwise.
    void place();
    // The keys pressed here go to `handler` (the teacher's window, which reports failures);
    // without one they do nothing.
    void setKeyHandler(std::function<bool(int key)> handler) { m_keys = std::move(handler); }

    QLabel *NumberLabel = nullptr;
    QLabel *AnsweredLabel = nullptr;
    QLabel *TitleLabel = nullptr;
    QLabel *StatementLabel = nullptr;
    QLabel *PictureLabel = nullptr;
    QLabel *AnswersLabel = nullptr;
    LiveChart *Chart = nullptr;
    QLabel *JoinLabel = nullptr;
    QrCodeView *QrView = nullptr;
    QLabel *OverLabel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

public Q_SLOTS:
    void refresh();

private:
    QWidget *createJoinPage();
    QWidget *createQuestionPage();
    void scaleFonts();
    void showPicture(int question);

    LivePacing &m_pacing;
    const SessionPictures *m_pictures = nullptr;
    std::function<QString()> m_pageAddress;
    std::function<bool(int)> m_keys;
    QStackedLayout *m_pages = nullptr;
    int m_pictureShown = -1;
};
