#include "settings/AppFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "framework/Folders.h"
#include "framework/ModulePath.h"
#include "framework/WindowsVersion.h"

namespace AppFolders {
namespace {

std::wstring g_programFolder;
std::wstring g_dataFolder;
bool g_portable = false;
bool g_writable = true;
std::wstring g_testDataFolder;
std::wstring g_testProgramFolder;

std::wstring WithBackslash(std::wstring path) {
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shell function is looked up at run time so the program starts where it is missing.
bool QueryAppDataFolder(std::wstring& folder) {
    using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    if (!shell)
        return false;
    auto fn = reinterpret_cast<GetFolderPathFn>(reinterpret_cast<void*>(::GetProcAddress(shell, "SHGetFolderPathW")));
    wchar_t path[MAX_PATH] = {};
    bool ok = fn && SUCCEEDED(fn(nullptr, CSIDL_APPDATA, nullptr, 0, path));
    ::FreeLibrary(shell);
    if (ok)
        folder = WithBackslash(path) + L"TallyLeaf\\";
    return ok;
}

// "C:\..." or "\\server\...": anything else is relative to some folder.
bool IsFullPath(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

}  // namespace

void Initialise() {
    if (!g_testProgramFolder.empty()) {
        g_programFolder = g_testProgramFolder;
    } else {
        std::wstring module = ::ModulePath();
        g_programFolder = module.substr(0, module.find_last_of(L'\\') + 1);
    }
    g_portable = Exists(g_programFolder + kPortableMarker) || Exists(g_programFolder + L"tallyleaf.cfg");
    if (g_portable)
        g_dataFolder = g_programFolder;
    else if (!g_testDataFolder.empty())
        g_dataFolder = g_testDataFolder;
    else if (!CurrentWindowsVersion().ntFamily || !QueryAppDataFolder(g_dataFolder))
        g_dataFolder = g_programFolder;
    CreateFolderPath(g_dataFolder);
    g_writable = !g_portable || CanWriteIn(g_dataFolder);
}

const std::wstring& ProgramFolder() {
    return g_programFolder;
}

const std::wstring& DataFolder() {
    return g_dataFolder;
}

bool Portable() {
    return g_portable;
}

bool Writable() {
    return g_writable;
}

std::wstring ToStoredPath(const std::wstring& path) {
    const std::wstring& folder = g_programFolder;
    // Without a drive letter of its own, a path can't follow the stick anywhere.
    if (!g_portable || folder.size() < 3 || folder[1] != L':' || path.size() <= folder.size() ||
        _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) != 0)
        return path;
    return path.substr(folder.size());
}

std::wstring FromStoredPath(const std::wstring& stored) {
    if (!g_portable || stored.empty() || IsFullPath(stored) || stored[0] == L'\\')
        return stored;
    return g_programFolder + stored;
}

void SetDataFolder(const std::wstring& folder) {
    g_testDataFolder = folder.empty() ? folder : WithBackslash(folder);
    g_dataFolder = g_testDataFolder;
}

void SetProgramFolder(const std::wstring& folder) {
    g_testProgramFolder = folder.empty() ? folder : WithBackslash(folder);
}

}  // namespace AppFolders
