// Every note's text as stored, kept in memory for the search in all notes, so
// that a search reads the file once and not on every pause in typing.
//
// The texts stay true to the file without reading it again: the rows this
// program's own connection writes are noted as it writes them and read again
// one by one before the next search; a commit by anyone else (another running
// copy on a shared file) changes the file's data version, and everything is
// read again. Reading everything is left to the caller, on a thread and a
// connection of its own (ReadAll), so the window never waits for it.
// Used on the thread of the program's connection, except ReadAll.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "search/NoteSearch.h"

class NotesStore;

class StoredTexts {
public:
    using Map = std::unordered_map<long long, NoteSearch::Text>;
    using Snapshot = std::shared_ptr<const Map>;

    // A full read to make: of which file, and what to give Adopt with its texts.
    struct FullRead {
        std::wstring path;  // empty: the texts in memory are current
        unsigned connection = 0;
        unsigned long long changesSeen = 0;
        long long dataVersion = 0;
    };

    explicit StoredTexts(NotesStore& store);
    ~StoredTexts();
    StoredTexts(const StoredTexts&) = delete;
    StoredTexts& operator=(const StoredTexts&) = delete;

    // The texts as stored now, or null when they must first be read in full
    // from `path`: `read` then says how, for ReadAll and Adopt. Throws
    // CppSQLite3Exception when the file can't be asked.
    Snapshot Current(const std::wstring& path, FullRead& read);
    // Every note's text in the file, on a connection of its own, opened for
    // reading only. Throws CppSQLite3Exception.
    static Snapshot ReadAll(const FullRead& read);
    // Gives each note whose text is null its stored one from `texts`.
    static void FillIn(std::vector<NoteSearch::Note>& notes, const Map& texts);
    // Keeps the texts of a full read; those of another file or connection
    // (the database was switched meanwhile) are dropped.
    void Adopt(const FullRead& read, Snapshot texts);

private:
    void OnRowChanged(const char* table, long long rowId);

    NotesStore& m_store;
    Snapshot m_texts;
    unsigned m_connection = 0;         // counts the openings and closings of the connection
    unsigned long long m_changes = 0;  // counts this connection's row changes
    std::unordered_map<long long, unsigned long long> m_changedAt;  // a note's last change, by that count
    unsigned long long m_applied = 0;                               // the changes that m_texts holds
    long long m_dataVersion = 0;                                    // the file's data version when m_texts was read
};
