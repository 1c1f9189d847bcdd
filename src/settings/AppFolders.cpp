#include "settings/AppFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/Folders.h"
#include "framework/ModulePath.h"
#include "framework/WindowsVersion.h"
#include "app/TestSeams.h"

namespace AppFolders {
namespace {

std::wstring g_programFolder;
std::wstring g_dataFolder;
std::wstring g_testDataFolder;

std::wstring WithBackslash(std::wstring path) {
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path;
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

}  // namespace

void Initialise() {
    std::wstring module = ::ModulePath();
    g_programFolder = module.substr(0, module.find_last_of(L'\\') + 1);
    if (!g_testDataFolder.empty())
        g_dataFolder = g_testDataFolder;
    else if (!CurrentWindowsVersion().ntFamily || !QueryAppDataFolder(g_dataFolder))
        g_dataFolder = g_programFolder;
    CreateFolderPath(g_dataFolder);
}

const std::wstring& ProgramFolder() {
    return g_programFolder;
}

const std::wstring& DataFolder() {
    return g_dataFolder;
}

}  // namespace AppFolders

void TestSeams::SetDataFolder(const std::wstring& folder) {
    AppFolders::g_testDataFolder = folder.empty() ? folder : AppFolders::WithBackslash(folder);
    AppFolders::g_dataFolder = AppFolders::g_testDataFolder;
}
