// The parts of the main window, in one view, for the code that drives the
// window from outside its messages (the tests and the bench).
#pragma once

#include "app/FileCommands.h"
#include "app/FindCommands.h"
#include "app/InsertCommands.h"
#include "app/TrayAndHotKey.h"
#include "editor/DragEdit.h"
#include "notes/NotesParts.h"
#include "tree/MyCTreeCtr.h"

struct MainWindowParts {
    MyCTreeCtr& tree;
    CDragEdit& editor;
    NotesSession& notes;
    // The classes beside the session: the search's reads, export and import, backups.
    NotesParts& notesParts;
    TrayAndHotKey& tray;
    FileCommands& files;
    FindCommands& find;
    InsertCommands& insert;
};
