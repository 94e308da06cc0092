#!/usr/bin/python3
"""Cuts the desktop synthesiser's SoundFonts down to what the game's effects play, for the web page.

Usage: tools/cut-soundfont.py [--gm FILE] [--gs FILE] OUTPUT

The desktop plays the effects with FluidSynth from Debian's FluidR3 GM font, with the GS font
loaded after it for the drum kit 56. The page plays the same instruments with web/synth.js, so
this resolves, the way FluidSynth does, every (bank, program, note, velocity) the game sends to
the sample zones that sound, merges their generators into one record per voice, and writes those
records with the sample frames they can reach into one file (the layout is in write()).

Standard library only: it runs wherever Debian's python3 does.
"""
import argparse
import json
import math
import os
import struct
import sys

# What src/sound/sound.cpp sends: (bank, program, notes). Channel 9 plays bank 128, the drum kits;
# every other channel bank 0. Velocity is always 100. tests/sound/web_sound_test.cpp checks that
# this covers the game's whole stream.
PLAYED = [
    (0, 127, (59, 60, 61)),          # player shot (a random one of three)
    (0, 23, (45,)),                  # enemy shot
    (128, 56, (75,)),                # big burst: the GS "SFX" kit's explosion
    (0, 85, (3, 10, 30)),            # thrust
    (0, 113, (60,)),                 # small burst
    (0, 98, (50,)),                  # small burst
    (0, 96, (72,)),                  # bonus appears
    (0, 90, (60, 67)),               # bonus taken
    (0, 55, (60,)),                  # extra life
    (0, 91, (84,)),                  # extra life
    (0, 122, (5, 10, 15, 20, 30)),   # the ambient bed
]
VELOCITIES = (100,)
DRUM_BANK = 128

# Generator numbers of the SoundFont 2 format and the defaults a zone starts from.
(START, END, LOOP_START, LOOP_END, START_COARSE, MOD_LFO_PITCH, VIB_LFO_PITCH, MOD_ENV_PITCH, FILTER_FC,
 FILTER_Q, MOD_LFO_FC, MOD_ENV_FC, END_COARSE, MOD_LFO_VOL) = range(14)
PAN = 17
MOD_LFO_DELAY, MOD_LFO_FREQ, VIB_LFO_DELAY, VIB_LFO_FREQ = 21, 22, 23, 24
MOD_ENV = 25          # delay, attack, hold, decay, sustain, release, key to hold, key to decay
VOL_ENV = 33          # the same eight for the volume envelope
INSTRUMENT, KEY_RANGE, VEL_RANGE, LOOP_START_COARSE, KEYNUM, VELOCITY, ATTENUATION = 41, 43, 44, 45, 46, 47, 48
LOOP_END_COARSE, COARSE_TUNE, FINE_TUNE, SAMPLE_ID, SAMPLE_MODES, SCALE_TUNING, EXCLUSIVE_CLASS, ROOT_KEY = (
    50, 51, 52, 53, 54, 56, 57, 58)
DEFAULTS = dict.fromkeys(range(61), 0)
DEFAULTS.update({FILTER_FC: 13500, SCALE_TUNING: 100, ROOT_KEY: -1, KEYNUM: -1, VELOCITY: -1, KEY_RANGE: (0, 127),
                 VEL_RANGE: (0, 127)})
for g in (MOD_LFO_DELAY, VIB_LFO_DELAY, *range(MOD_ENV, MOD_ENV + 4), MOD_ENV + 5, *range(VOL_ENV, VOL_ENV + 4),
          VOL_ENV + 5):
    DEFAULTS[g] = -12000
# What a preset zone may not add to: sample addresses, ranges, modes and the like.
NOT_ADDITIVE = {START, END, START_COARSE, END_COARSE, LOOP_START, LOOP_END, LOOP_START_COARSE, LOOP_END_COARSE,
                KEYNUM, VELOCITY, SAMPLE_MODES, EXCLUSIVE_CLASS, ROOT_KEY, KEY_RANGE, VEL_RANGE, INSTRUMENT,
                SAMPLE_ID}
# Record sizes of the preset-data tables.
RECORD = {'phdr': 38, 'pbag': 4, 'pmod': 10, 'pgen': 4, 'inst': 22, 'ibag': 4, 'imod': 10, 'igen': 4, 'shdr': 46}


class Font:
    """One SoundFont 2 file: its preset data in memory, its samples read on demand."""

    def __init__(self, path):
        self.path = path
        self.file = open(path, 'rb')
        riff, _, kind = struct.unpack('<4sI4s', self.file.read(12))
        if riff != b'RIFF' or kind != b'sfbk':
            sys.exit(f'{path}: not a SoundFont 2 file')
        self.smpl = None
        self.pdta = {}
        while True:
            head = self.file.read(12)
            if len(head) < 12:
                break
            cid, size, kind = struct.unpack('<4sI4s', head)
            body_end = self.file.tell() - 4 + size + (size & 1)
            if cid == b'LIST' and kind in (b'sdta', b'pdta'):
                while self.file.tell() + 8 <= body_end:
                    sub, sub_size = struct.unpack('<4sI', self.file.read(8))
                    if kind == b'sdta' and sub == b'smpl':
                        self.smpl = self.file.tell()
                    elif kind == b'pdta':
                        self.pdta[sub.decode('latin-1')] = self.file.read(sub_size)
                        continue
                    self.file.seek(sub_size + (sub_size & 1), 1)
            self.file.seek(body_end)
        if self.smpl is None or set(RECORD) - set(self.pdta):
            sys.exit(f'{path}: no sample data or preset data')

    def record(self, table, index, fmt):
        return struct.unpack_from(fmt, self.pdta[table], index * RECORD[table])

    def count(self, table):
        return len(self.pdta[table]) // RECORD[table]

    def zones(self, header, bag, gen, mod, index, bag_field):
        """The zones of preset or instrument index: each a dict of generators and a list of
        modulators (source, destination, amount, amount source, transform)."""
        size = RECORD[header]
        first = struct.unpack_from('<H', self.pdta[header], index * size + bag_field)[0]
        last = struct.unpack_from('<H', self.pdta[header], (index + 1) * size + bag_field)[0]
        zones = []
        for b in range(first, last):
            g0, m0 = self.record(bag, b, '<HH')
            g1, m1 = self.record(bag, b + 1, '<HH')
            gens = {}
            for g in range(g0, g1):
                op, lo, hi = self.record(gen, g, '<HBB')
                gens[op] = (lo, hi) if op in (KEY_RANGE, VEL_RANGE) else self.record(gen, g, '<Hh')[1]
            zones.append((gens, [self.record(mod, m, '<HHhHH') for m in range(m0, m1)]))
        return zones

    def preset(self, bank, program):
        for i in range(self.count('phdr') - 1):
            _, p, b = self.record('phdr', i, '<20sHH')
            if (b, p) == (bank, program):
                return i
        return None

    def sample(self, index):
        name, start, end, loop_start, loop_end, rate, pitch, correction, _, kind = self.record(
            'shdr', index, '<20sIIIIIBbHH')
        return {'name': name.split(b'\0')[0].decode('latin-1'), 'start': start, 'end': end,
                'loop_start': loop_start, 'loop_end': loop_end, 'rate': rate, 'pitch': pitch,
                'correction': correction, 'rom': bool(kind & 0x8000)}

    def frames(self, first, last):
        self.file.seek(self.smpl + 2 * first)
        return self.file.read(2 * (last - first))


def split_global(zones, local_key):
    """A first zone without the generator that makes a zone local is the global zone."""
    if zones and local_key not in zones[0][0]:
        return zones[0], zones[1:]
    return ({}, []), zones


def in_range(gens, glob, key, velocity):
    lo, hi = gens.get(KEY_RANGE, glob.get(KEY_RANGE, (0, 127)))
    vlo, vhi = gens.get(VEL_RANGE, glob.get(VEL_RANGE, (0, 127)))
    return lo <= key <= hi and vlo <= velocity <= vhi


def seconds(timecents, low=-12000, high=8000):
    return 2.0 ** (min(max(timecents, low), high) / 1200.0)


def envelope(g, first, key):
    """Delay, attack, hold, decay, sustain level (0..1) and release of an envelope, in seconds; the
    hold and decay scaled by key as FluidSynth does (by key - 60)."""
    delay = seconds(g[first], high=5000)
    attack = seconds(g[first + 1])
    hold = seconds(g[first + 2] + g[first + 6] * (60 - key), high=5000)
    decay = seconds(g[first + 3] + g[first + 7] * (60 - key))
    sustain = 1.0 - min(max(g[first + 4], 0), 1000) / 1000.0
    release = seconds(g[first + 5])
    return [round(x, 6) for x in (delay, attack, hold, decay, sustain, release)]


def check_modulators(mods, where):
    """synth.js plays FluidSynth's default modulators only (velocity and CC7/CC11 to the level,
    CC10 to the pan). FluidR3 puts a modulator of amount 0 on many zones, which changes nothing;
    any other stops the cut, as the page would not sound as the desktop."""
    for source, dest, amount, amount_source, transform in mods:
        if amount != 0:
            sys.exit(f'{where}: modulator {source:#x} -> {dest} ({amount}) is not one synth.js plays')


def resolve(fonts, bank, program, key, velocity):
    """The voices FluidSynth starts for a note: each the sample (font, index) and the merged
    generators. Fonts are searched last loaded first; a missing preset falls back as FluidSynth's
    program change does (a drum kit to kit 0, a melodic program to bank 0, then to program 0)."""
    candidates = [(bank, program)] + ([(DRUM_BANK, 0)] if bank == DRUM_BANK else [(0, program), (0, 0)])
    for b, p in candidates:
        for font in fonts:
            index = font.preset(b, p)
            if index is not None:
                return voices(font, index, key, velocity)
    return []


def voices(font, preset, key, velocity):
    found = []
    (pglobal, pmods), pzones = split_global(font.zones('phdr', 'pbag', 'pgen', 'pmod', preset, 24), INSTRUMENT)
    check_modulators(pmods, font.path)
    for pgens, mods in pzones:
        if not in_range(pgens, pglobal, key, velocity):
            continue
        check_modulators(mods, font.path)
        instrument = pgens[INSTRUMENT]
        (iglobal, imods), izones = split_global(
            font.zones('inst', 'ibag', 'igen', 'imod', instrument, 20), SAMPLE_ID)
        check_modulators(imods, font.path)
        for igens, zmods in izones:
            if not in_range(igens, iglobal, key, velocity):
                continue
            sample = font.sample(igens[SAMPLE_ID])
            if sample['rom']:
                continue
            check_modulators(zmods, font.path)
            g = dict(DEFAULTS)
            g.update(iglobal)
            g.update(igens)
            offsets = dict(pglobal)
            offsets.update(pgens)
            for op, value in offsets.items():
                if op not in NOT_ADDITIVE:
                    g[op] += value
            found.append((font, igens[SAMPLE_ID], sample, g))
    return found


def voice_record(sample, g, key):
    """One voice as synth.js plays it. Addresses are frames of the sample; the segment the file
    keeps is fixed later."""
    if g[EXCLUSIVE_CLASS] or g[VELOCITY] >= 0:
        sys.exit(f'{sample["name"]}: exclusive classes and fixed velocities are not played by synth.js')
    key = g[KEYNUM] if g[KEYNUM] >= 0 else key
    mode = g[SAMPLE_MODES] & 3
    start = sample['start'] + g[START] + 32768 * g[START_COARSE]
    end = sample['end'] + g[END] + 32768 * g[END_COARSE]
    loop_start = sample['loop_start'] + g[LOOP_START] + 32768 * g[LOOP_START_COARSE]
    loop_end = sample['loop_end'] + g[LOOP_END] + 32768 * g[LOOP_END_COARSE]
    if mode in (1, 3) and not start <= loop_start < loop_end <= end:
        mode = 0  # a loop outside the sample: FluidSynth plays it through once
    root = g[ROOT_KEY] if g[ROOT_KEY] >= 0 else (sample['pitch'] if sample['pitch'] <= 127 else 60)
    scale = g[SCALE_TUNING]
    # FluidSynth scales the sample's pitch correction with the scale tuning too.
    cents = scale * (key - root) + scale * sample['correction'] / 100.0 + 100 * g[COARSE_TUNE] + \
        g[FINE_TUNE]
    voice = {
        'cents': round(cents, 3),
        # FluidSynth takes the attenuation generator at 0.4 of its stated centibels, as the
        # hardware the fonts were voiced on did.
        'att': round(0.4 * min(max(g[ATTENUATION], 0), 1440), 2),
        'pan': min(max(g[PAN], -500), 500),
        'vol': envelope(g, VOL_ENV, key),
        'fc': g[FILTER_FC],
        'q': min(max(g[FILTER_Q], 0), 960),
    }
    if g[VEL_RANGE] != (0, 127):
        voice['vel'] = list(g[VEL_RANGE])
    if mode:
        voice['mode'] = mode
    if g[MOD_ENV_PITCH] or g[MOD_ENV_FC]:
        voice['mod'] = envelope(g, MOD_ENV, key)
        voice['modPitch'] = g[MOD_ENV_PITCH]
        voice['modFc'] = g[MOD_ENV_FC]
    if g[MOD_LFO_PITCH] or g[MOD_LFO_FC] or g[MOD_LFO_VOL]:
        voice['lfo'] = [round(seconds(g[MOD_LFO_DELAY], high=5000), 6),
                        round(8.176 * 2.0 ** (min(max(g[MOD_LFO_FREQ], -16000), 4500) / 1200.0), 4)]
        voice['lfoPitch'] = g[MOD_LFO_PITCH]
        voice['lfoFc'] = g[MOD_LFO_FC]
        voice['lfoVol'] = g[MOD_LFO_VOL]
    if g[VIB_LFO_PITCH]:
        voice['vib'] = [round(seconds(g[VIB_LFO_DELAY], high=5000), 6),
                        round(8.176 * 2.0 ** (min(max(g[VIB_LFO_FREQ], -16000), 4500) / 1200.0), 4)]
        voice['vibPitch'] = g[VIB_LFO_PITCH]
    # The frames the voice can reach: up to the loop's end when it loops for good, else to the
    # sample's end, but no further than it can sound when its envelope decays to silence.
    last = loop_end if mode == 1 else end
    env = voice['vol']
    if env[4] == 0.0 and mode != 1:
        highest = cents + max(voice.get('modPitch', 0), 0) + abs(voice.get('lfoPitch', 0)) + \
            abs(voice.get('vibPitch', 0))
        audible = env[0] + env[1] + env[2] + env[3]
        last = min(last, start + math.ceil(audible * sample['rate'] * 2.0 ** (highest / 1200.0)) + 64)
    return voice, (start, end, loop_start, loop_end, last)


def cut(fonts):
    """The voices of every note the game plays and the segments of sample data they reach."""
    notes = {}
    segments = {}  # (font path, sample index) -> [first frame, last frame, sample, font]
    for bank, program, keys in PLAYED:
        for key in keys:
            played = []
            for velocity in VELOCITIES:
                for font, index, sample, g in resolve(fonts, bank, program, key, velocity):
                    voice, addresses = voice_record(sample, g, key)
                    segment = segments.setdefault((font.path, index), [addresses[0], addresses[4], sample, font])
                    segment[0] = min(segment[0], addresses[0])
                    segment[1] = max(segment[1], addresses[4])
                    played.append((voice, (font.path, index), addresses))
            if not played:
                sys.exit(f'bank {bank} program {program} note {key}: no sample plays it')
            notes[f'{bank}:{program}:{key}'] = played
    order = sorted(segments)
    samples, pcm, at = [], [], 0
    for ident in order:
        first, last, sample, font = segments[ident]
        frames = font.frames(first, last)
        samples.append({'name': sample['name'], 'rate': sample['rate'], 'at': at, 'frames': last - first})
        pcm.append(frames)
        at += last - first
    index = {}
    for name, played in notes.items():
        index[name] = []
        for voice, ident, (start, end, loop_start, loop_end, last) in played:
            first = segments[ident][0]
            voice['sample'] = order.index(ident)
            voice['start'] = start - first
            if 'mode' in voice:
                voice['loop'] = [loop_start - first, loop_end - first]
            index[name].append(voice)
    return {'samples': samples, 'notes': index}, b''.join(pcm)


def write(path, index, pcm):
    """The file: "ZSF1", the length of the JSON index (uint32, little-endian), the index, spaces
    to an even offset, then every segment's frames as 16-bit little-endian PCM, one after the other
    (a sample's "at" counts frames from there)."""
    text = json.dumps(index, separators=(',', ':')).encode()
    text += b' ' * ((8 + len(text)) & 1)
    with open(path, 'wb') as out:
        out.write(b'ZSF1' + struct.pack('<I', len(text)) + text + pcm)
    return 8 + len(text) + len(pcm)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--gm', default='/usr/share/sounds/sf2/FluidR3_GM.sf2')
    parser.add_argument('--gs', default='/usr/share/sounds/sf2/FluidR3_GS.sf2')
    parser.add_argument('output')
    args = parser.parse_args()
    # The GS font is loaded after the GM one on the desktop, so it is searched first.
    fonts = [Font(args.gs), Font(args.gm)]
    index, pcm = cut(fonts)
    size = write(args.output, index, pcm)
    voices = sum(len(v) for v in index['notes'].values())
    fonts_size = sum(os.path.getsize(font.path) for font in fonts)
    print(f'{args.output}: {size} bytes ({len(pcm)} of samples in {len(index["samples"])} segments) for '
          f'{len(index["notes"])} notes, {voices} voices; the SoundFonts are {fonts_size} bytes')


if __name__ == '__main__':
    main()
