// Runs one step on the database for the notes' classes: a failure of the file
// is shown in an error box as `failurePrefix` followed by SQLite's message,
// and the caller is told whether the step succeeded.
#pragma once

#include <windows.h>

#include <string>

#include "notes/NotesHost.h"
#include "storage/CppSQLite3Exception.h"

template <typename Step>
bool TryStorageStep(NotesHost& host, const wchar_t* failurePrefix, Step step) {
    try {
        step();
        return true;
    } catch (const CppSQLite3Exception& e) {
        host.Say(std::wstring(failurePrefix) + e.Message(), MB_OK | MB_ICONERROR);
        return false;
    }
}
