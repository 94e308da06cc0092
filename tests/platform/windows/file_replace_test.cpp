// Saving on Windows: through a symbolic link, and past a ReplaceFileW that fails part way. Wine presents a Unix symbolic link as Windows
// presents one to a program that opens it: followed to its target. The links are made and removed
// with the system's own ln and rm, which a Windows program under Wine can start.
#include "settings/settings_fixture.h"

#include "platform/port.h"
#include "platform/windows/win_hooks.h"

namespace {

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a Unix program in the folder (names relative to it), then waits until path exists or not, as
// asked (Wine cannot wait for a Unix program itself). False when not under Wine.
bool runInFolder(std::string command, const std::string& folder, const std::string& path, bool present) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int wait = 0; wait < 6000 && exists(path) != present; ++wait) {
        Sleep(10);
    }
    return exists(path) == present;
}

}  // namespace

// The link keeps pointing at its target, which receives the save. (A link whose target is missing
// is the Linux test's: here the file is made through the name by the system, as any first save.)
TEST_F(SettingsTest, ASymbolicLinksTargetReceivesTheSaveOnWindows) {
    const std::string target = directory + "/sub/elsewhere.cfg";
    const std::string saved = "new\r\n";
    CreateDirectoryA((directory + "/sub").c_str(), nullptr);
    put(target, "old content, longer than the new one\r\n");
    if (!runInFolder("Z:\\bin\\ln -s sub/elsewhere.cfg zarv.cfg", directory, path, true)) {
        GTEST_SKIP() << "no Unix ln under Wine to make a link with";
    }
    EXPECT_TRUE(replaceFileContents(path.c_str(), saved.data(), saved.size()));
    EXPECT_EQ(contents(target), saved);
    EXPECT_EQ(contents(path), saved);
    // Wine would delete a link's target, not the link: rm takes the link before the folder goes.
    EXPECT_TRUE(runInFolder("Z:\\bin\\rm zarv.cfg", directory, path, false));
}

// ReplaceFileW failing part way as the system documents it: ERROR_UNABLE_TO_MOVE_REPLACEMENT has
// deleted the old file, ..._2 moved it to the backup name (or one nobody recorded); the new content
// is under its temporary name. The settings file then reads as the old or the new, as the result says.
TEST_F(SettingsTest, AReplaceFailingPartWayLeavesTheOldSettingsOrTheNewOnWindows) {
    static DWORD error;
    WinFileCalls failing = kSystemWinFileCalls;
    failing.replaceFile = [](LPCWSTR old, LPCWSTR, LPCWSTR backup, DWORD, LPVOID, LPVOID) -> BOOL {
        error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ? DeleteFileW(old)
                                                  : MoveFileExW(old, backup ? backup : (std::wstring(old) + L"~").c_str(), 0);
        SetLastError(error);
        return FALSE;
    };
    for (DWORD code : {ERROR_UNABLE_TO_MOVE_REPLACEMENT, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}) {
        error = code;
        put(path, "old\r\n");
        winFileCalls = &failing;
        const bool saved = replaceFileContents(path.c_str(), "new\r\n", 5);
        winFileCalls = &kSystemWinFileCalls;
        EXPECT_EQ(contents(path), saved ? "new\r\n" : "old\r\n") << code;
    }
}
