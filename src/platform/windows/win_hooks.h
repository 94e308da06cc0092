#pragma once
// The Windows services the key and MIDI layers call, replaceable so tests can watch what goes in
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
