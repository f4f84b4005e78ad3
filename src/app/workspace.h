#pragma once

#include "accessories/pocket.h"
#include "app/aboutbox.h"
#include "app/mainform.h"

struct Services;
class TPlanche;

// Every window of the authoring workspace, each created once in the start-up order: main
// window, about box, question sheet (held maximised by the main window), calculator. The services are
// created by the caller (real ones by the program, scripted ones by the tests).
class Workspace
{
public:
    explicit Workspace(Services &services);

    TMainForm mainForm;
    TAboutBox aboutBox;
    TPlanche *const sheet;
    TPocket calculator;
};
