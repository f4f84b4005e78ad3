#pragma once

#include "document/questionstore.h"
#include "document/sheetfields.h"

#include <QStringList>

#include <algorithm>

// The question sheet as the store sees it, without widgets. Like the real sheet, every field
// change notifies the store, so the tests see the same flag traffic as the program.
struct FakeSheet : SheetFields
{
    QuestionFields shown;
    QString label = QStringLiteral("Question 1");
    QString caption;
    QString picture;
    QStringList unreadablePictures;
    int restyled = 0;
    int titleFocused = 0;
    QuestionStore *store = nullptr;

    QuestionFields fields() const override { return shown; }
    void setFields(const QuestionFields &fields) override
    {
        shown = fields;
        shown.rightAnswer = std::clamp(fields.rightAnswer, 1, 5);
        if (store)
            store->SheetEdited();
    }
    void setQuestionLabel(const QString &text) override { label = text; }
    void setCaption(const QString &text) override { caption = text; }
    void clearPicture() override { picture.clear(); }
    void loadPicture(const QString &path) override
    {
        if (unreadablePictures.contains(path))
            throw std::runtime_error("unreadable");
        picture = path;
    }
    void focusTitle() override { ++titleFocused; }
    void restyleTitle() override { ++restyled; }

    // What typing in the sheet does: change the field, then tell the store.
    void type(const QString &title)
    {
        shown.title = title;
        store->SheetEdited();
    }
    void typeFreeText(const QStringList &lines)
    {
        shown.freeText = lines;
        store->SheetEdited();
    }
};
