// The search in all notes, as a function of the notes: no window and no file,
// so it can run over thousands of notes on every pause in typing.
//
// Every occurrence of the query counts, names first (in tree order), then
// texts (in tree order, several per note, left to right and not overlapping).
// Positions are character indexes into the name or the text as the editor
// holds it. The query is plain text: nothing in it is a wildcard.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class FoldCache;

namespace NoteSearch {

// A note's text, shared between the notes kept for searching and a search
// running on another thread, so neither copies 20 MB of text.
using Text = std::shared_ptr<const std::wstring>;
inline Text MakeText(std::wstring text) {
    return std::make_shared<const std::wstring>(std::move(text));
}

// One note as searched, given in tree order. Its strings are shared: a search
// copies thousands of notes and allocates nothing for them.
struct Note {
    long long id = 0;
    Text path;  // its place in the tree, "Projects > Work > Notes"
    Text name;
    Text text;  // null reads as empty
};

struct Query {
    std::wstring text;  // empty finds nothing; spaces are searched as they are
    bool matchCase = false;
    bool wholeWord = false;
    bool namesOnly = false;
};

struct Hit {
    long long noteId = 0;
    bool inName = false;    // the match is in the note's name, not its text
    std::size_t start = 0;  // the match in the name or the text
    std::size_t length = 0;
    std::wstring line;       // the matching line, cut around the match
    std::size_t lineAt = 0;  // where the match starts in `line`
    std::wstring matched;    // the name's or text's own characters at the match
};

struct Results {
    std::vector<Hit> hits;  // the first `cap` occurrences
    std::size_t total = 0;  // every occurrence
};

// The occurrences of `query` in `notes`; at most `cap` of them are listed.
// `abandoned`, when given, is asked between notes; once it says yes the search
// stops with what it has. `folds`, when given, keeps the texts' folded forms
// from one search to the next.
Results Search(const std::vector<Note>& notes, const Query& query, std::size_t cap,
               const std::function<bool()>& abandoned = {}, FoldCache* folds = nullptr);

// What one search found, as the dialog lists it.
struct Found {
    virtual ~Found() = default;
    unsigned generation = 0;  // which search of the asker's this answers
    Query query;
    Results results;
    std::vector<std::wstring> paths;  // the note's path of each hit
    std::wstring failure;             // why the notes could not be read, if they could not
};

// The line of `text` holding [start, start + length), cut to about `width`
// characters around it; `lineAt` receives where the match starts in it.
std::wstring LineAround(const std::wstring& text, std::size_t start, std::size_t length, std::size_t width,
                        std::size_t& lineAt);

}  // namespace NoteSearch
