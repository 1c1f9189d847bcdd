// What the key-press bench (scripts/bench-keys) asks of the Windows side: the
// notes database the real program is started on, and where a program's tree
// and editor lie on the screen. The timing itself is done outside Wine, from
// the key sent to the X server to the pixels changed in Xvfb's frame buffer.
#pragma once

#include <string>

namespace bench {

// How the key-press bench's notes database is made.
struct KeyPressNotes {
    bool wrap = true;         // false: its configuration turns word wrap off
    bool floorSizes = false;  // top-level notes of the floor program's sizes in its order
    int count = 1000;         // notes in the file; 1,000 or more
    // Where the floor's notes go, when the floor is to show the program's own
    // (empty: nowhere).
    std::wstring floorNotesPath;
};

// Writes the notes file of the user's data folder, where tallyleaf.exe looks
// for it. Everyday notes (200 to 20,000 characters) make a tree three levels
// deep; with `floorSizes`, top-level notes of 200, 2,000 and 20,000 characters
// in turn, so that both programs compare size for size. Either way the first
// 1,000 notes are the same whatever the count: the notes beyond them lie
// under them (collapsed), so the rows the Down key walks and their texts stay
// the same as the file grows.
int WriteKeyPressDatabase(const KeyPressNotes& notes);

// Writes the top-level rows of the notes file at `databasePath`, in the order
// Tallyleaf's tree shows them, for the floor program (bench/floor): a UTF-16
// file holding, for each row, a line "BELOW<TAB>LENGTH<TAB>NAME" (BELOW: how
// many notes lie under it; LENGTH: its text's characters), then its text.
void WriteFloorNotes(const std::wstring& databasePath, const std::wstring& path);

// Prints the screen rectangles of the top-level window titled `title`, of its
// tree and its editor (the largest visible edit control) and of the editor's
// client area, as "window L T R B tree L T R B editor L T R B text L T R B";
// 1 when the window, its tree or its editor is missing.
int PrintLayout(const std::wstring& title);

// Shows a small window at the screen's bottom right until the process is ended.
// With the pointer over it, a key pressed while the measured window is hidden
// still reaches Wine (X gives keys to the window under the pointer then), and a
// hot key among them reaches the program that registered it.
int RunKeyCatcher();

}  // namespace bench
