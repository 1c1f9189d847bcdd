// Where the configuration file and the database go when the user's
// application data folder cannot be found.
#include "settings/AppFolders.h"
#include "app/TestSeams.h"
#include "framework/RegKey.h"
#include "support/MainWindowFixture.h"

namespace {
// Moves a file out of the way for the guard's life and puts it back; what the
// test made there is removed.
class SetAside {
public:
    explicit SetAside(std::wstring path) : m_path(std::move(path)), m_aside(m_path + L".set-aside") {
        m_moved = ::MoveFileExW(m_path.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~SetAside() {
        ::DeleteFileW(m_path.c_str());
        if (m_moved)
            ::MoveFileExW(m_aside.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

private:
    std::wstring m_path;
    std::wstring m_aside;
    bool m_moved = false;
};
}  // namespace

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
    SetAside config(program + L"tallyleaf.cfg");
    SetAside database(program + NotesStore::kDefaultFileName);
    Start();
    EXPECT_EQ(AppFolders::DataFolder(), program);
    EXPECT_EQ(dlg->Notes().DatabasePath(), program + NotesStore::kDefaultFileName);
    EXPECT_TRUE(FileExists(program + NotesStore::kDefaultFileName));
    Finish();
    theDB.Close();
    EXPECT_TRUE(FileExists(program + L"tallyleaf.cfg"));
    EXPECT_FALSE(FileExists(missing));
}
