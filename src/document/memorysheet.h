#pragma once

#include "document/sheetfields.h"

// A sheet without a window: it only keeps the fields, for work on questionnaires that nobody
// watches (benchmarks, fuzzing, batch conversions).
struct MemorySheet : SheetFields
{
    QuestionFields shown;

    QuestionFields fields() const override { return shown; }
    void setFields(const QuestionFields &fields) override { shown = fields; }
    void setQuestionLabel(const QString &) override {}
    void setCaption(const QString &) override {}
    void clearPicture() override {}
    void loadPicture(const QString &) override {}
    void focusTitle() override {}
    void restyleTitle() override {}
};
