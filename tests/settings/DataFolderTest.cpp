// Where the configuration file and the database go: beside the program when
// the user's application data folder cannot be found, and in portable mode.
#include "settings/AppFolders.h"
#include "app/TestSeams.h"
#include "framework/RegKey.h"
#include "framework/Folders.h"
#include "framework/ModulePath.h"
#include "support/MainWindowFixture.h"

using DataFolder = MainWindowTest;

TEST_F(DataFolder, WithoutTheApplicationDataFolderTheFilesStayBesideTheProgram) {
    // The shell answers from this value; a folder that does not exist makes the lookup fail.
    CRegKey folders;
    ASSERT_EQ(folders.Create(HKEY_CURRENT_USER,
                             L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", KEY_WRITE),
              ERROR_SUCCESS);
    const std::wstring missing = dir.File(L"no such folder");
    ASSERT_EQ(::RegSetValueExW(folders, L"AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(missing.c_str()),
                               static_cast<DWORD>((missing.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    TestSeams::SetDataFolder(L"");

    AppFolders::Initialise();
    const std::wstring program = AppFolders::ProgramFolder();
    Start();
    EXPECT_EQ(AppFolders::DataFolder(), program);
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), program + NotesStore::kDefaultFileName);
    EXPECT_TRUE(FileExists(program + NotesStore::kDefaultFileName));
    Finish();
    theDB.Close();
    EXPECT_TRUE(FileExists(program + L"tallyleaf.cfg"));
    EXPECT_FALSE(FileExists(missing));
}

namespace {
bool LaunchCounterKeyExists() {
    CRegKey key;
    return key.Open(HKEY_CURRENT_USER, L"Software\\Velmorand\\Tallyleaf", KEY_READ) == ERROR_SUCCESS;
}
}  // namespace

TEST_F(DataFolder, APortableCopyKeepsItsFilesBesideTheProgramAndLeavesTheRegistryAlone) {
    const std::wstring program = dir.File(L"stick\\");
    ASSERT_TRUE(::CreateDirectoryW(program.c_str(), nullptr));
    WriteFileBytes(program + AppFolders::kPortableMarker, "");
    TestSeams::SetProgramFolder(program);

    Start();
    EXPECT_TRUE(AppFolders::Portable());
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), program + NotesStore::kDefaultFileName);
    EXPECT_TRUE(FileExists(program + NotesStore::kDefaultFileName));
    EXPECT_FALSE(LaunchCounterKeyExists());
    Finish();
    theDB.Close();
    EXPECT_TRUE(FileExists(program + L"tallyleaf.cfg"));
    // The data folder the test gave the program (its application data folder) got nothing.
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::wstring>{L"stick"});
}

TEST_F(DataFolder, TheConfigurationFileBesideTheProgramMakesItPortableToo) {
    const std::wstring program = dir.File(L"stick\\");
    ASSERT_TRUE(::CreateDirectoryW(program.c_str(), nullptr));
    WriteFileBytes(program + L"tallyleaf.cfg", "");
    TestSeams::SetProgramFolder(program);

    Start();
    EXPECT_TRUE(AppFolders::Portable());
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), program + NotesStore::kDefaultFileName);
    EXPECT_FALSE(LaunchCounterKeyExists());
}

namespace {
// A folder that the test run (scripts/with-small-disk) shows read-only, as a
// write-protected stick, beside the folder `source` that fills it: the pair's
// paths, or empty ones where the run could not make the view.
std::pair<std::wstring, std::wstring> ReadOnlyView() {
    const std::wstring module = ModulePath();
    wchar_t run[MAX_PATH] = {};
    ::GetFullPathNameW((module.substr(0, module.find_last_of(L'\\')) + L"\\..\\").c_str(), MAX_PATH, run, nullptr);
    const std::wstring source = std::wstring(run) + L"small-disk-source\\";
    const std::wstring view = std::wstring(run) + L"small-disk-read-only\\";
    WriteFileBytes(source + L"seen", "");
    const bool viewed = FileExists(view + L"seen") && !CanWriteIn(view);
    ::DeleteFileW((source + L"seen").c_str());
    return viewed ? std::make_pair(source, view) : std::make_pair(std::wstring(), std::wstring());
}
}  // namespace

TEST_F(DataFolder, APortableCopyInAFolderItCannotWriteSaysSoOnceAndKeepsWhatWasSaved) {
    const auto [source, view] = ReadOnlyView();
    if (view.empty())
        GTEST_SKIP() << "no read-only folder for this run (scripts/with-small-disk)";
    // The stick as it was written elsewhere: the marker, the notes and the settings.
    const std::wstring name = L"stick " + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateFolderPath(source + name));
    WriteFileBytes(source + name + AppFolders::kPortableMarker, "");
    ::SeedNotes(source + name + NotesStore::kDefaultFileName, {{1, 0, L"Saved", L"saved before"}});
    WriteFileBytes(source + name + L"tallyleaf.cfg", "[Main]\r\nIconInTray=0\r\n");
    const std::string notesBefore = ReadFileBytes(source + name + NotesStore::kDefaultFileName);
    TestSeams::SetProgramFolder(view + name);

    Start();
    dlg->Parts().tray.CallUp();
    EXPECT_EQ(EditorText(), L"saved before");
    Type(L"typed ");
    dlg->Parts().tray.Hide();
    dlg->Parts().tray.CallUp();
    dlg->Parts().tray.Hide();
    Finish();
    theDB.Close();

    const std::wstring notice = L"Tallyleaf can't write to its folder:\n" + view + name;
    int notices = 0;
    std::wstring recovery;
    for (const ModalAnswer::Box& box : modal.Boxes()) {
        notices += box.text.rfind(notice, 0) == 0 ? 1 : 0;
        // Told already: no message about backups that can't be made there.
        EXPECT_EQ(box.text.find(L"Can't back up"), std::wstring::npos) << box.text;
        const size_t kept = box.text.find(L"is kept in these files:\n  ");
        if (kept != std::wstring::npos)
            recovery = box.text.substr(kept + 26, box.text.find(L'\n', kept + 26) - kept - 26);
    }
    EXPECT_EQ(notices, 1);
    // What was typed there is not lost: it waits in a recovery file elsewhere.
    EXPECT_NE(ReadFileBytes(recovery).find("typed saved before"), std::string::npos)
        << "no text in " << recovery.size();
    ::DeleteFileW(recovery.c_str());
    EXPECT_EQ(ReadFileBytes(source + name + NotesStore::kDefaultFileName), notesBefore);
    EXPECT_EQ(NamesIn(source + name), (std::vector<std::wstring>{L"notes2.db", L"portable", L"tallyleaf.cfg"}));
    for (const wchar_t* file : {L"portable", L"notes2.db", L"tallyleaf.cfg"})
        ::DeleteFileW((source + name + file).c_str());
    ::RemoveDirectoryW((source + name).c_str());
}
