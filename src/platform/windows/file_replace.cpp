#include "platform/file_replace.h"

#include <windows.h>

#include <string>

namespace {

std::wstring widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

bool writeAll(HANDLE file, const char* bytes, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Where no file may be made beside it (a locked directory): the bytes go over the old ones and the
// file is cut to its new length, as the POSIX build does.
bool rewriteInPlace(const std::wstring& target, const char* bytes, std::size_t size) {
    const HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = writeAll(file, bytes, size) && SetEndOfFile(file) && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

}  // namespace

// The new contents go to a file beside the old one and replace it in one move, so a crash or a
// full disk leaves either the old file or the new one, never half of either.
bool replaceFileContents(const char* path, const char* bytes, std::size_t size) {
    if (path == nullptr || (bytes == nullptr && size != 0)) {
        return false;
    }
    const std::wstring target = widen(path);
    if (target.empty()) {
        return false;
    }
    // The move would replace a read-only file too; the player made it read-only to keep it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    const std::wstring temporary = target + L".new";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return attributes != INVALID_FILE_ATTRIBUTES && rewriteInPlace(target, bytes, size);
    }
    const bool written = writeAll(file, bytes, size) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!written ||
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
