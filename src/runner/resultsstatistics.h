#pragma once

#include "runner/resultsfile.h"

#include <array>
#include <optional>
#include <vector>

// What a class did on a questionnaire, from its results file: per question how many pupils
// answered and how many answered right; per run the pupil and the score.
struct ResultsStatistics
{
    struct Question
    {
        QString caption;   // "1. Titre", as in the file's header
        int answered = 0;
        int right = 0;
        std::optional<int> solution;
        // How many runs gave each answer number, 1 to 5 at [0] to [4]: a wrong answer many
        // pupils chose points at a misunderstanding, or at a badly worded answer.
        std::array<int, 5> chosen{};
    };
    struct Pupil
    {
        QString date, time, name;
        int right = 0;
        int count = 0;
    };

    std::vector<Question> questions;
    std::vector<Pupil> pupils;

    // Share of the runs that answered the question right, from 0 to 1 (0 without runs).
    double shareRight(size_t question) const;

    // `solutions` are the questionnaire's right answers, question by question; a question
    // without one counts no right answer. A cell that is no answer number counts as no answer.
    static ResultsStatistics of(const ResultsSheet &sheet, const std::vector<std::optional<int>> &solutions);
};
