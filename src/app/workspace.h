#pragma once

#include "accessories/calendrier.h"
#include "accessories/horloge.h"
#include "accessories/pocket.h"
#include "app/aboutbox.h"
#include "app/mainform.h"
#include "platform/focusreturn.h"
#include "runner/qcm.h"
#include "runner/resultat.h"
#include "editor/finddialog.h"
#include "editor/fixchemin.h"
#include "editor/pageliste.h"
#include "editor/replacedialog.h"

struct Services;
class TPlanche;

// Every window of the program, each created once in the start-up order: main window, about
// box, question sheet (held maximised by the main window), question list, path dialog, find
// dialog, replace dialog, runner, results window, calendar, clock, calculator. The services are
// created by the caller (real ones by the program, scripted ones by the tests).
class Workspace
{
public:
    explicit Workspace(Services &services);

    // First made, last gone: every window below gives the focus back when it closes.
    FocusReturn focusReturn;
    TMainForm mainForm;
    TAboutBox aboutBox;
    TPlanche *const sheet;
    TPageListe pageListe;
    TFixchemin fixchemin;
    TFindDialog findDialog;
    TReplaceDialog replaceDialog;
    TQcm runner;
    TResultat results;
    TCalendrier calendar;
    THorloge clock;
    TPocket calculator;
};
