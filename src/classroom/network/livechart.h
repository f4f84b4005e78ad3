#pragma once

#include "classroom/classquestionnaire.h"
#include "classroom/network/livepacing.h"

#include <QStringList>
#include <QWidget>

// The class's answers to one question as horizontal bars, one an answer, each with its count
// and its share of the pupils who answered (over 100 % in all when several answers may be
// ticked). No names. The right answers, once shown, are marked in words and in colour, not in
// colour alone. Its accessible description says the same in words.
class LiveChart : public QWidget
{
    Q_OBJECT

public:
    explicit LiveChart(QWidget *parent = nullptr);

    // The answers' texts in the questionnaire's order (their numbers 1 to 5 in `numbers`), the
    // tally, and the right answers to mark (none until they are shown).
    void setTally(const QStringList &texts, const std::vector<int> &numbers, const LiveTally &tally,
                  AnswerSet right, const QString &description);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_texts;
    std::vector<int> m_numbers;
    LiveTally m_tally;
    AnswerSet m_right = 0;
};
