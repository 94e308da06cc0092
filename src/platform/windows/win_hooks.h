#pragma once
// The Windows services the key, MIDI and settings-file layers call, replaceable so tests can watch what goes in
// and feed what comes out. nullptr restores the system's own functions.
#include <windows.h>

#include <mmsystem.h>

void setAsyncKeyStateSource(SHORT(WINAPI* source)(int vk));

struct WinmmCalls {
    UINT(WINAPI* getNumDevs)();
    MMRESULT(WINAPI* open)(LPHMIDIOUT out, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT(WINAPI* shortMsg)(HMIDIOUT out, DWORD message);
    MMRESULT(WINAPI* reset)(HMIDIOUT out);
    MMRESULT(WINAPI* close)(HMIDIOUT out);
};
void setWinmmCalls(const WinmmCalls* calls);

// The calls that move a saved file into place, so a test can fail them the ways the system documents.
struct WinFileCalls {
    BOOL(WINAPI* replaceFile)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                              LPVOID reserved);
    BOOL(WINAPI* moveFile)(LPCWSTR from, LPCWSTR to, DWORD flags);
    BOOL(WINAPI* deleteFile)(LPCWSTR path);
};
void setWinFileCalls(const WinFileCalls* calls);
