// SearchedNotes: what the search in all notes reads of the notes session (the
// notes in tree order with their paths and texts), and showing what it found.
// The texts of the file are kept in memory between searches (StoredTexts), the
// walk of the tree while the tree does not change.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "notes/NoteEditorView.h"
#include "notes/NotesHost.h"
#include "notes/NotesSession.h"
#include "notes/NotesTreeView.h"
#include "notes/StoredTexts.h"
#include "search/NoteSearch.h"

class SearchedNotes {
public:
    SearchedNotes(NotesSession& session, NotesTreeView& tree, NoteEditorView& editor, NotesHost& host)
        : m_session(session), m_tree(tree), m_editor(editor), m_host(host), m_storedTexts(session.Store()) {}
    SearchedNotes(const SearchedNotes&) = delete;
    SearchedNotes& operator=(const SearchedNotes&) = delete;

    // The notes in tree order with their paths: the shown note as it stands
    // in the editor, a note whose save waits as it waits, every other as
    // stored, from the texts kept in memory. When those must first be read in
    // full, the stored ones come null and `fullRead` names the file
    // (StoredTexts::ReadAll, then AdoptStoredTexts). A file that can't be
    // asked throws CppSQLite3Exception.
    std::vector<NoteSearch::Note> NotesToSearch(StoredTexts::FullRead& fullRead);
    // Whether the stored texts must be read in full before the next search;
    // `fullRead` then says how (for a read ahead of time).
    bool StoredTextsToRead(StoredTexts::FullRead& fullRead);
    void AdoptStoredTexts(const StoredTexts::FullRead& read, StoredTexts::Snapshot texts) {
        m_storedTexts.Adopt(read, std::move(texts));
    }
    // Selects the note in the tree (expanding its parents), shows it and
    // selects the match in its text, scrolled into view. False, and nothing
    // selected, when the note no longer holds the match there (it is gone,
    // changed since the search, or another file is open now) or could not be shown.
    bool ShowFound(const NoteSearch::Hit& hit);

private:
    // The notes in tree order with their paths and names, without texts.
    const std::vector<NoteSearch::Note>& TreeToSearch();

    NotesSession& m_session;
    NotesTreeView& m_tree;
    NoteEditorView& m_editor;
    NotesHost& m_host;
    StoredTexts m_storedTexts;
    // The walk of the tree, kept while the tree's revision stays m_nTreeWalkRevision.
    std::vector<NoteSearch::Note> m_treeWalk;
    unsigned m_nTreeWalkRevision = 0;
    bool m_bTreeWalkValid = false;
};
