#pragma once
// The ALSA sequencer backend's seam for tests, since build machines have no sequencer: with a
// sink, the backend offers one port without opening ALSA, and every event it would send goes to
// the sink instead. nullptr restores the sequencer. Only while the backend is closed.
struct snd_seq_event;
void setSequencerSink(void (*sink)(const snd_seq_event* event));
