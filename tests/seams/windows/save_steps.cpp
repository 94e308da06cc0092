// The save's calls on Windows, each failing as on a full disk when the watcher says so.
#include "platform/windows/win_hooks.h"
#include "seams/seams.h"

namespace {

bool (*watcher)() = nullptr;

bool failsNow() {
    const bool fails = watcher != nullptr && watcher();
    SetLastError(fails ? ERROR_DISK_FULL : GetLastError());
    return fails;
}

const WinFileCalls kWatched{
    [](LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
       HANDLE templateFile) -> HANDLE {
        return failsNow() ? INVALID_HANDLE_VALUE
                          : kSystemWinFileCalls.createFile(name, access, share, security, disposition, flags,
                                                           templateFile);
    },
    [](LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude, LPVOID reserved) -> BOOL {
        return failsNow() ? FALSE
                          : kSystemWinFileCalls.replaceFile(replaced, replacement, backup, flags, exclude, reserved);
    },
    [](LPCWSTR from, LPCWSTR to, DWORD flags) -> BOOL {
        return failsNow() ? FALSE : kSystemWinFileCalls.moveFile(from, to, flags);
    },
    kSystemWinFileCalls.deleteFile,  // a cleanup, never a step of the save
    [](HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED at) -> BOOL {
        if (failsNow()) {
            kSystemWinFileCalls.writeFile(file, bytes, size / 2, written, at);
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        return kSystemWinFileCalls.writeFile(file, bytes, size, written, at);
    },
    [](HANDLE file) -> BOOL { return failsNow() ? FALSE : kSystemWinFileCalls.flushFile(file); },
    [](HANDLE file) -> BOOL { return failsNow() ? FALSE : kSystemWinFileCalls.setEndOfFile(file); },
};

}  // namespace

void watchSaveSteps(bool (*beforeStep)()) {
    watcher = beforeStep;
    winFileCalls = beforeStep != nullptr ? &kWatched : &kSystemWinFileCalls;
}
