// CommandTable: a window's commands, one row each: the command's id, the
// handler that runs it, when it is enabled and when checked, the key that
// sends it and its image in the menu icon strip. A row names its handler and
// rules as a part of a context (a struct of the objects that handle commands)
// and a member function of that part's class (see CommandHandler). The window
// derives the rest from the rows: WM_COMMAND is routed through them, the menus
// take their states from them as they open, and its keys and menu icons are
// looked up in them. The checks are constexpr, so the rows can be
// static_asserted.
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>
#include <vector>

// The key that sends a command, as its menu item names it.
struct CommandKey {
    enum Flags : unsigned {
        kPlain = 0,
        // Held with Ctrl, without Alt: Ctrl+Alt is AltGr, which types letters.
        kCtrl = 1,
        kAlt = 2,
        // Runs the command even while its menu item is disabled.
        kEvenWhileDisabled = 4,
        // Held with Shift too; a key without it works with or without Shift.
        kShift = 8,
    };
    static constexpr unsigned kModifiers = kCtrl | kAlt | kShift;

    UINT vk = 0;  // 0: no key of the window's
    unsigned flags = kPlain;
    // The control (by id) whose key it is; elsewhere the key is left to the
    // control that has the focus. 0: wherever the focus is.
    UINT onlyIn = 0;

    constexpr bool Matches(UINT key, unsigned modifiers, UINT controlId) const {
        return vk != 0 && vk == key && (flags & kModifiers) == modifiers && (onlyIn == 0 || onlyIn == controlId);
    }
};

constexpr int kNoIcon = -1;

template <class Context>
struct CommandRow {
    UINT id;
    void (*run)(Context& context, UINT id);
    bool (*enabled)(Context& context);        // null: always enabled
    bool (*checked)(const Context& context);  // null: never checked
    CommandKey key;
    int icon;  // its image in the menu icon strip, from 0; kNoIcon: none
};

// A handler, or a rule, as the member function `Member` of the context's part
// `Part`: CommandHandler<&Context::files, &FileCommands::SaveToFile>::Run.
// A handler takes the command's id or nothing.
template <auto Part, auto Member>
struct CommandHandler;

template <class Context, class PartClass, PartClass Context::*Part, auto Member>
struct CommandHandler<Part, Member> {
    static void Run(Context& context, UINT id) {
        PartClass& part = context.*Part;
        if constexpr (std::is_invocable_v<decltype(Member), PartClass&, UINT>)
            (part.*Member)(id);
        else
            (part.*Member)();
    }
    static bool Enabled(Context& context) { return ((context.*Part).*Member)(); }
    static bool Checked(const Context& context) { return ((context.*Part).*Member)(); }
};

template <class Context>
class CommandTable {
public:
    using Row = CommandRow<Context>;

    template <std::size_t N>
    constexpr explicit CommandTable(const Row (&rows)[N]) : m_rows(rows), m_count(N) {}

    constexpr const Row* begin() const { return m_rows; }
    constexpr const Row* end() const { return m_rows + m_count; }

    constexpr const Row* Find(UINT id) const {
        for (const Row& row : *this)
            if (row.id == id)
                return &row;
        return nullptr;
    }
    // The row whose key is `vk` held with `modifiers` (CommandKey::kCtrl,
    // kAlt, kShift), pressed in the control `controlId` (0: none of the window's).
    constexpr const Row* FindKey(UINT vk, unsigned modifiers, UINT controlId) const {
        for (const Row& row : *this)
            if (row.key.Matches(vk, modifiers, controlId))
                return &row;
        return nullptr;
    }

    // An id without a row (a command of the window's own) is enabled and unchecked.
    bool IsEnabled(Context& context, UINT id) const {
        const Row* row = Find(id);
        return !row || !row->enabled || row->enabled(context);
    }
    bool IsChecked(const Context& context, UINT id) const {
        const Row* row = Find(id);
        return row && row->checked && row->checked(context);
    }

    // Runs command `id`. One without a sending control (a menu item, a key) runs
    // only while it is enabled; a control's click always does. False when no
    // row has the id.
    bool Route(Context& context, UINT id, HWND control) const {
        const Row* row = Find(id);
        if (!row)
            return false;
        if (control || !row->enabled || row->enabled(context))
            row->run(context, id);
        return true;
    }

    // The description CNewMenu::AttachIconStrip takes: the bitmap, the size of
    // its images, then the command of each image from the left, and 0.
    std::vector<WORD> IconStrip(WORD bitmap, WORD width, WORD height) const {
        std::vector<WORD> strip{bitmap, width, height};
        for (int image = 0; const Row* row = WithIcon(image); ++image)
            strip.push_back(static_cast<WORD>(row->id));
        strip.push_back(0);
        return strip;
    }

    // The checks the rows must pass.
    constexpr bool HandlersSet() const {
        for (const Row& row : *this)
            if (!row.run)
                return false;
        return true;
    }
    constexpr bool IdsDistinct() const {
        for (const Row* a = begin(); a != end(); ++a)
            for (const Row* b = a + 1; b != end(); ++b)
                if (a->id == b->id)
                    return false;
        return true;
    }
    constexpr bool IdsOutside(UINT first, UINT last) const {
        for (const Row& row : *this)
            if (row.id >= first && row.id <= last)
                return false;
        return true;
    }
    // Menu item ids are 16-bit, and those from 0xF000 up belong to the system menu.
    constexpr bool IdsAreMenuIds() const {
        for (const Row& row : *this)
            if (row.id == 0 || row.id >= 0xF000)
                return false;
        return true;
    }
    // Two rows with one key would leave one of them without it.
    constexpr bool KeysDistinct() const {
        for (const Row* a = begin(); a != end(); ++a)
            for (const Row* b = a + 1; b != end(); ++b)
                if (a->key.vk && a->key.vk == b->key.vk &&
                    (a->key.flags & CommandKey::kModifiers) == (b->key.flags & CommandKey::kModifiers) &&
                    a->key.onlyIn == b->key.onlyIn)
                    return false;
        return true;
    }
    // Each of the strip's `images` stands for exactly one command.
    constexpr bool IconsFill(int images) const {
        int withIcon = 0;
        for (const Row& row : *this) {
            if (row.icon == kNoIcon)
                continue;
            if (row.icon < 0 || row.icon >= images)
                return false;
            ++withIcon;
        }
        for (int image = 0; image < images; ++image)
            if (!WithIcon(image))
                return false;
        return withIcon == images;
    }

private:
    constexpr const Row* WithIcon(int image) const {
        for (const Row& row : *this)
            if (row.icon == image)
                return &row;
        return nullptr;
    }

    const Row* m_rows;
    std::size_t m_count;
};
