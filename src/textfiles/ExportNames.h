// The names the export of the tree gives to what it writes: the export
// folder's name, taken from the time, and each note's file and folder name,
// made from its label so that it is a valid name inside its own folder and
// differs from its siblings' names.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>

// "Tallyleaf export MM.dd.yy HH.mm.ss" (24-hour clock), the same on every
// system and in every locale.
std::wstring ExportFolderName(const SYSTEMTIME& time);

// The names of the notes of one folder. A note's file is its name + ".txt",
// the folder of its subnotes is its name.
class ExportNames {
public:
    // A label as a name that is valid and safe in a folder: the characters no
    // file name may hold become '.', a name that the system would shorten (a
    // final dot or blank, which also covers "." and "..") gets a final '_', a
    // device name (CON, NUL, COM1, COM\u00B9, ...) gets a leading '_', and a very long
    // label is cut short.
    static std::wstring SafeName(const std::wstring& label);

    // The safe name of `label`, numbered "Name (2)", "Name (3)", ... when a
    // sibling has it already (the system compares names without case).
    std::wstring Claim(const std::wstring& label);

    // A name as the system compares it (upper case).
    static std::wstring Folded(const std::wstring& name);
    // The label an exported name stands for, where that is unambiguous: a
    // number " (2)" goes when a sibling is named without it (`siblingNamed`
    // takes a folded name), a final '_' after a dot or a blank goes, and so
    // does a leading '_' before a device name. Characters made '.' stay '.'.
    template <typename SiblingNamed>
    static std::wstring LabelOf(const std::wstring& name, SiblingNamed siblingNamed) {
        const std::wstring base = NumberedBase(name);
        return Unescaped(!base.empty() && siblingNamed(Folded(base)) ? base : name);
    }

private:
    // "Name" of "Name (n)" with n >= 2; empty for any other name.
    static std::wstring NumberedBase(const std::wstring& name);
    static std::wstring Unescaped(const std::wstring& name);
    bool IsTaken(const std::wstring& name) const;

    // Upper-cased names of the files and folders handed out.
    std::set<std::wstring> m_used;
    // The number to try next for each upper-cased name that clashed.
    std::map<std::wstring, int> m_nextNumber;
};
