// The notes the program works on, by concern: the session (the file in use,
// the tree and the shown note, saves, note operations) and the classes that
// work beside it on the same file, tree and editor.
#pragma once

#include "notes/DailyBackups.h"
#include "notes/NoteEditorView.h"
#include "notes/NotesHost.h"
#include "notes/NotesImportExport.h"
#include "notes/NotesSession.h"
#include "notes/NotesTreeView.h"
#include "notes/SearchedNotes.h"

class CppSQLite3DB;

struct NotesParts {
    NotesParts(CppSQLite3DB& db, NotesTreeView& tree, NoteEditorView& editor, NotesHost& host,
               SaveScheduler::Timings typingSaves = {})
        : session(db, tree, editor, host, typingSaves),
          search(session, tree, editor, host),
          transfers(session, tree, host),
          backups(session, host) {}

    NotesSession session;
    SearchedNotes search;
    NotesImportExport transfers;
    DailyBackups backups;
};
