// What the key-press bench (scripts/bench-keys) asks of the Windows side: the
// notes database the real program is started on, and where a program's tree
// and editor lie on the screen. The timing itself is done outside Wine, from
// the key sent to the X server to the pixels changed in Xvfb's frame buffer.
#pragma once

#include <string>

namespace bench {

// Writes a tree of 1,000 everyday notes (200 to 20,000 characters) as the
// notes file of the user's data folder, where tallyleaf.exe looks for it;
// without `wrap`, its configuration turns word wrap off. With `floorSizes`, the
// notes are top-level ones of the floor program's sizes in its order (200,
// 2,000 and 20,000 characters in turn), so that both compare size for size.
int WriteKeyPressDatabase(bool wrap, bool floorSizes);

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
