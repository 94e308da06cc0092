#include "platform/port.h"

#include "platform/file_in_place.h"
#include "platform/windows/win_hooks.h"

#include <string>

constinit const WinFileCalls kSystemWinFileCalls = {CreateFileW, ReplaceFileW, MoveFileExW, DeleteFileW,
                                                    WriteFile,   FlushFileBuffers, SetEndOfFile};
constinit const WinFileCalls* winFileCalls = &kSystemWinFileCalls;

namespace {

std::wstring widen(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

HANDLE handleOf(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

// ReadFile and WriteFile at an offset, in pieces a DWORD can count, until all have moved.
template <typename Bytes, typename Io>
bool moveAllAt(std::intptr_t h, Bytes* bytes, std::size_t size, std::uint64_t offset, Io io) {
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD moved = 0;
        if (!io(handleOf(h), bytes, chunk, &moved, &at) || moved == 0) {
            return false;
        }
        bytes += moved;
        size -= moved;
        offset += moved;
    }
    return true;
}

bool setLength(std::intptr_t h, std::uint64_t size) {
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(handleOf(h), end, nullptr, FILE_BEGIN) && winFileCalls->setEndOfFile(handleOf(h));
}

// Growing a file with SetEndOfFile takes its room on the disk at once, and the new bytes read as zeros.
FileCalls callsOn(HANDLE file) {
    return {
        reinterpret_cast<std::intptr_t>(file),
        [](std::intptr_t h, char* bytes, std::size_t size, std::uint64_t offset) {
            return moveAllAt(h, bytes, size, offset, ReadFile);
        },
        [](std::intptr_t h, const char* bytes, std::size_t size, std::uint64_t offset) {
            return moveAllAt(h, bytes, size, offset, winFileCalls->writeFile);
        },
        [](std::intptr_t h) { return winFileCalls->flushFile(handleOf(h)) != 0; },
        setLength,
        setLength,
    };
}

// The name of the file a handle has open, symbolic links followed ("\\?\C:\..."); empty for a
// volume without a name of that kind.
std::wstring finalPathOf(HANDLE file) {
    const DWORD length = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) {
        return std::wstring();
    }
    std::wstring path(length, L'\0');
    const DWORD written = GetFinalPathNameByHandleW(file, path.data(), length, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (written == 0 || written >= length) {
        return std::wstring();
    }
    path.resize(written);
    return path;
}

enum class Outcome { Saved, Failed, NoRoom };

// No new file can take the old one's place (a folder the player may not write, rights to the old
// file that do not allow replacing it, another program that holds it open but lets others write):
// the file must be rewritten where it is. Anything else, a full disk or a failing device, is a
// failure to give up on.
Outcome refusal(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                   error == ERROR_UNABLE_TO_REMOVE_REPLACED
               ? Outcome::NoRoom
               : Outcome::Failed;
}

// A new file beside the old one, written and flushed, then moved over it in one step: a crash or
// a full disk leaves the old file or the new one, never a cut one. ReplaceFileW gives the new file
// the old one's attributes and access rights. The name is the process's own, so no other program
// holding a file of the same kind gets in the way.
// No backup name: with one, ReplaceFileW moves the old file aside before the new one takes its
// name, and a crash between the two leaves no file at all.
Outcome replaceByMove(const std::wstring& target, const char* bytes, std::size_t size) {
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned n = 0; n < 100 && file == INVALID_HANDLE_VALUE; ++n) {
        temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n) + L".tmp";
        file = winFileCalls->createFile(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return refusal(GetLastError());
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return Outcome::Failed;
    }
    const bool written = writeAndFlush(callsOn(file), bytes, size);
    CloseHandle(file);
    if (!written) {
        winFileCalls->deleteFile(temporary.c_str());
        return Outcome::Failed;
    }
    if (winFileCalls->replaceFile(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) {
        return Outcome::Saved;
    }
    const DWORD error = GetLastError();
    // A failure may already have taken the old file from its name: ERROR_UNABLE_TO_MOVE_REPLACEMENT
    // deletes it, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 leaves it under a name of the system's choosing,
    // and the new content is then only in the temporary file, which is moved to the free name. The
    // move never replaces a file, so an old file still in place stays, and only then does the
    // temporary file go: it is never deleted while it may hold the only copy of the settings.
    if (winFileCalls->moveFile(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return Outcome::Saved;
    }
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        winFileCalls->deleteFile(temporary.c_str());
    }
    return refusal(error);
}

}  // namespace

bool replaceFileContents(const char* path, const char* bytes, std::size_t size) {
    if (path == nullptr || (bytes == nullptr && size != 0)) {
        return false;
    }
    const std::wstring name = widen(path);
    if (name.empty()) {
        return false;
    }
    // Opening follows a symbolic link to its target; asking to write is what tells whether the
    // player may (the read-only attribute and the file's access rights alike). Others may go on
    // reading it meanwhile, but nobody else may write.
    const DWORD access = GENERIC_READ | GENERIC_WRITE;
    HANDLE file = CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    bool made = false;
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        // No file yet, or a link to one still to be made: made through the name, empty, which
        // reads as no settings at all, and so its final name is known.
        file = CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        made = file != INVALID_HANDLE_VALUE;
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const std::wstring target = finalPathOf(file);
    // Under Wine run as root the open lets a read-only file through: the attribute still says no.
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(file);
        return false;
    }
    // A second name (hard link) would keep the old content after a move, and without a final name
    // the move could land on a link: write through the handle.
    if (info.nNumberOfLinks == 1 && !target.empty()) {
        CloseHandle(file);
        const Outcome outcome = replaceByMove(target, bytes, size);
        if (outcome == Outcome::Failed && made) {
            winFileCalls->deleteFile(target.c_str());
        }
        if (outcome != Outcome::NoRoom) {
            return outcome == Outcome::Saved;
        }
        file = CreateFileW(target.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
    }
    LARGE_INTEGER length{};
    const bool saved = GetFileSizeEx(file, &length) &&
                       rewriteInPlace(callsOn(file), static_cast<std::uint64_t>(length.QuadPart), bytes, size);
    CloseHandle(file);
    return saved;
}
