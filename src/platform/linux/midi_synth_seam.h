#pragma once
// The built-in synthesiser's knobs for tests and benchmarks: no audio driver, other SoundFonts,
// waiting for it and hearing what it renders.

// Offline: no audio driver; the caller renders the output with midiSynthRender.
void setMidiSynthOffline(bool offline);
// Audio drivers tried in order; nullptr restores pulseaudio, then alsa.
void setMidiAudioDrivers(const char* const* names, int count);
// SoundFont files tried in order for the General MIDI font; nullptr restores the search list.
void setMidiSoundFontCandidates(const char* const* paths, int count);
// Waits until the SoundFonts have loaded and every message sent so far has reached the synthesiser.
// False on timeout or when the synthesiser is not open.
bool midiSynthSettle(int timeoutMs);
// True once the SoundFonts are in (always false while the synthesiser is not open).
bool midiSynthReady();
// Renders frames of interleaved stereo samples at 44100 Hz; offline only.
void midiSynthRender(float* interleaved, int frames);
