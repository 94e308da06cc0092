#pragma once
// The Windows calls the MIDI output and the settings file go through, as tables a test can put in
// place of the system's own, to watch what goes in and feed what comes out.
#include <windows.h>

#include <mmsystem.h>

struct WinmmCalls {
    UINT(WINAPI* getNumDevs)();
    MMRESULT(WINAPI* open)(LPHMIDIOUT out, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT(WINAPI* shortMsg)(HMIDIOUT out, DWORD message);
    MMRESULT(WINAPI* reset)(HMIDIOUT out);
    MMRESULT(WINAPI* close)(HMIDIOUT out);
};
extern const WinmmCalls kSystemWinmmCalls;
// The system's own calls, or a test's table in their place.
extern const WinmmCalls* winmmCalls;

// The calls by which the save creates, changes, moves and flushes files, so that a test can fail
// each in turn as a full disk would, or the way the system documents.
struct WinFileCalls {
    HANDLE(WINAPI* createFile)(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile);
    BOOL(WINAPI* replaceFile)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                              LPVOID reserved);
    BOOL(WINAPI* moveFile)(LPCWSTR from, LPCWSTR to, DWORD flags);
    BOOL(WINAPI* deleteFile)(LPCWSTR path);
    BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED at);
    BOOL(WINAPI* flushFile)(HANDLE file);
    BOOL(WINAPI* setEndOfFile)(HANDLE file);
};
extern const WinFileCalls kSystemWinFileCalls;
// The system's own calls, or a test's table in their place.
extern const WinFileCalls* winFileCalls;
