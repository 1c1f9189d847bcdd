// Whole copies of a notes database file, always through SQLite's online backup
// interface on connections of their own (never theDB, never the file's bytes:
// another copy of the program may be half-way through a commit, and a byte
// copy would catch the file torn). Any thread may use them.
#pragma once

#include <string>

struct CopyResult {
    enum class Outcome {
        // The copy is in place.
        Copied,
        // The source failed its check; `message` has SQLite's finding.
        SourceDamaged,
        // Nothing was changed; `message` has the system's or SQLite's text.
        Failed,
    };
    Outcome outcome = Outcome::Failed;
    std::wstring message;
};

namespace DatabaseCopy {

// Copies `source` to `target` (replacing a file there): written into a
// temporary "tlb*.tmp" file beside `target` and put in its place only once
// PRAGMA quick_check found the copy sound. Takes as long as the copy takes;
// throws only std::bad_alloc.
CopyResult ToFile(const std::wstring& source, const std::wstring& target);

// Puts the content of `source`, after checking it, into the existing database
// `target` in one write transaction of `target`: a failure part-way leaves
// `target` as it was. `source` is only read. Throws only std::bad_alloc.
CopyResult Over(const std::wstring& source, const std::wstring& target);

struct Inspection {
    bool sound = false;
    // Rows of the notes table (-1: it could not be counted).
    long long notes = -1;
    // What made it unsound, in SQLite's words: its finding, or why the file
    // could not be read.
    std::wstring finding;
};
// Runs PRAGMA quick_check on the file (read-only) and counts its notes.
Inspection Inspect(const std::wstring& path);

}  // namespace DatabaseCopy
