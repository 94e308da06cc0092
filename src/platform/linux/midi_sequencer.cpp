// ALSA sequencer output ports (hardware synthesisers, software synths that listen on the
// sequencer) as the MIDI devices after the built-in synthesiser.
#include "platform/linux/midi_synth.h"

#include <alsa/asoundlib.h>

#include <cstring>

namespace {

struct PortAddress {
    int client;
    int port;
};

constexpr int kMaxPorts = 16;

snd_seq_t* sequencer = nullptr;
int ownPort = -1;

bool isMidiThrough(const char* name) {
    return name != nullptr && std::strncmp(name, "Midi Through", 12) == 0;
}

// Writable ports of other clients, synthesisers first; the kernel's "Midi Through" only echoes.
int listOutputPorts(snd_seq_t* seq, PortAddress* ports) {
    snd_seq_client_info_t* clientInfo = nullptr;
    snd_seq_port_info_t* portInfo = nullptr;
    snd_seq_client_info_alloca(&clientInfo);
    snd_seq_port_info_alloca(&portInfo);
    const unsigned needed = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    const unsigned synthTypes = SND_SEQ_PORT_TYPE_SYNTHESIZER | SND_SEQ_PORT_TYPE_MIDI_GM |
                                SND_SEQ_PORT_TYPE_MIDI_GS | SND_SEQ_PORT_TYPE_SYNTH;
    int count = 0;
    for (int pass = 0; pass < 2; ++pass) {
        snd_seq_client_info_set_client(clientInfo, -1);
        while (snd_seq_query_next_client(seq, clientInfo) >= 0) {
            const int client = snd_seq_client_info_get_client(clientInfo);
            if (client == SND_SEQ_CLIENT_SYSTEM || client == snd_seq_client_id(seq) ||
                isMidiThrough(snd_seq_client_info_get_name(clientInfo))) {
                continue;
            }
            snd_seq_port_info_set_client(portInfo, client);
            snd_seq_port_info_set_port(portInfo, -1);
            while (snd_seq_query_next_port(seq, portInfo) >= 0) {
                const unsigned caps = snd_seq_port_info_get_capability(portInfo);
                if ((caps & needed) != needed || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0 ||
                    isMidiThrough(snd_seq_port_info_get_name(portInfo))) {
                    continue;
                }
                const bool synth = (snd_seq_port_info_get_type(portInfo) & synthTypes) != 0;
                if (synth == (pass == 0) && count < kMaxPorts) {
                    ports[count++] = PortAddress{client, snd_seq_port_info_get_port(portInfo)};
                }
            }
        }
    }
    return count;
}

snd_seq_t* openSequencer() {
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) {
        return nullptr;
    }
    return seq;
}

std::uint32_t sequencerDeviceCount() {
    if (sequencer != nullptr) {
        return 1;
    }
    snd_seq_t* seq = openSequencer();
    if (seq == nullptr) {
        return 0;
    }
    PortAddress ports[kMaxPorts];
    const int count = listOutputPorts(seq, ports);
    snd_seq_close(seq);
    return static_cast<std::uint32_t>(count);
}

bool sequencerOpen(std::uint32_t index) {
    if (sequencer != nullptr) {
        return false;
    }
    snd_seq_t* seq = openSequencer();
    if (seq == nullptr) {
        return false;
    }
    PortAddress ports[kMaxPorts];
    const int count = listOutputPorts(seq, ports);
    snd_seq_set_client_name(seq, "zarv");
    const int port = snd_seq_create_simple_port(seq, "zarv", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (static_cast<int>(index) >= count || port < 0 ||
        snd_seq_connect_to(seq, port, ports[index].client, ports[index].port) < 0) {
        snd_seq_close(seq);
        return false;
    }
    sequencer = seq;
    ownPort = port;
    return true;
}

void sequencerShortMessage(std::uint32_t message) {
    if (sequencer == nullptr) {
        return;
    }
    const auto [kind, channel, data1, data2] = splitMidiMessage(message);
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    switch (kind) {
    case 0x80: snd_seq_ev_set_noteoff(&event, channel, data1, data2); break;
    case 0x90: snd_seq_ev_set_noteon(&event, channel, data1, data2); break;
    case 0xA0: snd_seq_ev_set_keypress(&event, channel, data1, data2); break;
    case 0xB0: snd_seq_ev_set_controller(&event, channel, data1, data2); break;
    case 0xC0: snd_seq_ev_set_pgmchange(&event, channel, data1); break;
    case 0xD0: snd_seq_ev_set_chanpress(&event, channel, data1); break;
    case 0xE0: snd_seq_ev_set_pitchbend(&event, channel, (data1 | (data2 << 7)) - 8192); break;
    default: return;
    }
    snd_seq_ev_set_source(&event, ownPort);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    // Non-blocking: when the kernel's queue is full the message is lost, never the frame.
    snd_seq_event_output_direct(sequencer, &event);
}

// All sound off (120) and all notes off (123) on every channel; programs, volumes and pans stay.
void sequencerReset() {
    for (std::uint32_t channel = 0; channel < 16; ++channel) {
        sequencerShortMessage(0xB0 | channel | (120u << 8));
        sequencerShortMessage(0xB0 | channel | (123u << 8));
    }
}

void sequencerClose() {
    if (sequencer != nullptr) {
        snd_seq_close(sequencer);
        sequencer = nullptr;
        ownPort = -1;
    }
}

}  // namespace

const MidiBackend midiSequencerBackend = {sequencerDeviceCount, sequencerOpen, sequencerShortMessage, sequencerReset,
                                          sequencerClose};
