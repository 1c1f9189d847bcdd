// Notes database files as the tests and the bench need them: the table as the
// program creates it, holding a tree of notes given row by row.
#pragma once

#include <string>
#include <vector>

#include "storage/CppSQLite3DB.h"

// One row of the notes table; pid 0 puts the note at the top level.
struct NoteRow {
    long long id;
    long long pid;
    std::wstring name{};
    std::wstring text{};
    int pos = 0;
};

// Creates the notes table where the file at `path` (created if absent) has
// none, and adds rows, all in one transaction: thousands of rows take a moment. The rows are
// in the file once Commit() returns.
class SeededStore {
public:
    explicit SeededStore(const std::wstring& path);
    SeededStore(const SeededStore&) = delete;
    SeededStore& operator=(const SeededStore&) = delete;

    // Names and texts go in as given, whatever they hold.
    void Add(const NoteRow& row);
    // Commits the rows and closes the file.
    void Commit();

private:
    CppSQLite3DB m_db{2000};
};

// A notes file at `path` holding these rows.
void SeedNotes(const std::wstring& path, const std::vector<NoteRow>& rows);
// Every row of the notes file at `path` as "id pid name = note @pos", in id
// order, read through a connection of its own.
std::vector<std::wstring> StoredRows(const std::wstring& path);
