#pragma once

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "editor/finddialog.h"
#include "editor/fixchemin.h"
#include "editor/pageliste.h"
#include "editor/replacedialog.h"

struct Services;
class TPlanche;

// Every window of the authoring workspace, each created once in the start-up order: main
// window, about box, question sheet (held maximised by the main window), question list, path
// dialog, find dialog, replace dialog. The services are
// created by the caller (real ones by the program, scripted ones by the tests).
class Workspace
{
public:
    explicit Workspace(Services &services);

    TMainForm mainForm;
    TAboutBox aboutBox;
    TPlanche *const sheet;
    TPageListe pageListe;
    TFixchemin fixchemin;
    TFindDialog findDialog;
    TReplaceDialog replaceDialog;
};
