// The page's MIDI synthesiser: a small SoundFont sample player on Web Audio that plays the game's
// short messages as the desktop's FluidSynth plays them, from the samples tools/cut-soundfont.py
// cut out of the same FluidR3 fonts (every voice's generators come merged in that file).
//
// window.zarvSynth:
//   load(url)        fetches the sound file; resolves to true once notes can play (ready)
//   message(m, when) one short message, status byte lowest (the game's packing)
//   reset(when)      silences every voice at once; programs, volumes and pans stay
//   attach(context)  plays into this context (the page makes its own at the first key or click)
//   log              every message received, as numbers, a reset as 'reset'
//
// Browsers start audio only after a key press or a click: until then note-ons are dropped (the
// channels still take their programs, volumes and pans) and nothing fails.
(function (global) {
  'use strict';

  const FLOOR_DB = 96;          // FluidSynth's volume envelope spans 96 dB
  const MASTER_GAIN = 0.5;      // the desktop synthesiser's gain
  const MAX_FILTER_HZ = 19845;  // FluidSynth's filter stops at 0.45 of its 44.1 kHz rate
  const DRUM_CHANNEL = 9;
  const DRUM_BANK = 128;
  const LOG_LIMIT = 65536;
  const POLYPHONY = 64;         // the desktop synthesiser's

  const dbAmp = (db) => Math.pow(10, db / 20);
  const centsHz = (cents) => 8.176 * Math.pow(2, cents / 1200);
  // FluidSynth's concave curve for velocity, CC7 and CC11: 40 log10(127 / v) dB, 96 dB at 0.
  const concaveCb = (v) => (v <= 0 ? 960 : Math.min(960, -400 * Math.log10(v / 127)));
  // CC10 as FluidSynth maps it: 64 is the centre, 0 hard left, 127 just short of hard right.
  const panOf = (voicePan, cc) => Math.max(-1, Math.min(1, (voicePan + 500 * (cc / 64 - 1)) / 500));

  const synth = {
    ready: false,
    log: [],
    context: null,
    samples: [],  // AudioBuffers, one a segment of the file
    notes: {},    // "bank:program:key" -> voice records
    channels: [],
    voices: [],   // every voice started and not yet over, oldest first
    output: null,
  };

  function Channel() {
    this.program = 0;
    this.volume = 100;  // FluidSynth's defaults
    this.expression = 127;
    this.pan = 64;
    this.voices = [];
    this.gain = null;
  }
  for (let i = 0; i < 16; ++i) {
    synth.channels.push(new Channel());
  }

  function channelGain(channel) {
    return Math.pow(10, -(concaveCb(channel.volume) + concaveCb(channel.expression)) / 200);
  }

  // Offline contexts render what is scheduled before they start; a live one must be running.
  function playing() {
    const context = synth.context;
    return synth.ready && context !== null &&
      (context.state === 'running' || typeof context.startRendering === 'function');
  }

  synth.attach = function (context) {
    synth.context = context;
    synth.output = context.createGain();
    synth.output.gain.value = MASTER_GAIN;
    synth.output.connect(context.destination);
    synth.voices = [];
    for (const channel of synth.channels) {
      channel.voices = [];
      channel.gain = context.createGain();
      channel.gain.gain.value = channelGain(channel);
      channel.gain.connect(synth.output);
    }
  };

  synth.load = function (url) {
    return fetch(url)
      .then((response) => (response.ok ? response.arrayBuffer() : Promise.reject(new Error(url))))
      .then((bytes) => {
        const head = new DataView(bytes, 0, 8);
        if (String.fromCharCode(head.getUint8(0), head.getUint8(1), head.getUint8(2), head.getUint8(3)) !== 'ZSF1') {
          return false;
        }
        const length = head.getUint32(4, true);
        const index = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 8, length)));
        const pcm = new Int16Array(bytes, 8 + length);
        synth.samples = index.samples.map((s) => {
          const buffer = new AudioBuffer({ length: s.frames, sampleRate: s.rate, numberOfChannels: 1 });
          const data = buffer.getChannelData(0);
          for (let i = 0; i < s.frames; ++i) {
            data[i] = pcm[s.at + i] / 32768;
          }
          return buffer;
        });
        synth.notes = index.notes;
        synth.ready = true;
        return true;
      })
      .catch(() => false);
  };

  // An envelope's value at t, 0..1. The volume envelope's is in FluidSynth's terms, over 96 dB: its
  // attack rises in amplitude, its decay and release fall in decibels. The modulation envelope's is
  // linear throughout.
  function envelopeLevel(stages, start, t, volume) {
    const [delay, attack, hold, decay, sustain] = stages;
    let x = t - start - delay;
    if (x <= 0) {
      return 0;
    }
    if (x < attack) {
      return volume ? Math.max(0, 1 + (20 * Math.log10(x / attack)) / FLOOR_DB) : x / attack;
    }
    x -= attack + hold;
    return x < 0 ? 1 : Math.max(sustain, 1 - x / decay);
  }

  function holdAt(param, t) {
    if (param.cancelAndHoldAtTime) {
      param.cancelAndHoldAtTime(t);
    } else {
      param.cancelScheduledValues(t);
    }
  }

  // An envelope's course from note-on to its sustain, scaled to peak: the volume's decay falls in
  // decibels (exponential), the modulation envelope's in a straight line. Returns when the decay
  // ends.
  function scheduleEnvelope(param, stages, start, peak, exponential) {
    const [delay, attack, hold, decay, sustain] = stages;
    const top = start + delay + attack;
    param.setValueAtTime(0, start);
    param.setValueAtTime(0, start + delay);
    param.linearRampToValueAtTime(peak, top);
    param.setValueAtTime(peak, top + hold);
    const end = top + hold + decay * (1 - sustain);
    if (sustain < 1) {
      if (exponential) {
        param.exponentialRampToValueAtTime(peak * dbAmp(-FLOOR_DB * (1 - sustain)), end);
      } else {
        param.linearRampToValueAtTime(peak * sustain, end);
      }
    }
    return end;
  }

  function lfo(context, voice, stages, targets, start) {
    const oscillator = context.createOscillator();
    oscillator.type = 'triangle';  // FluidSynth's LFOs: triangles from 0, rising
    oscillator.frequency.value = stages[1];
    for (const [param, amount] of targets) {
      if (amount !== 0) {
        const depth = context.createGain();
        depth.gain.value = amount;
        oscillator.connect(depth).connect(param);
      }
    }
    oscillator.start(start + stages[0]);
    voice.oscillators.push(oscillator);
  }

  function forget(voice) {
    for (const list of [synth.voices, voice.channel.voices]) {
      const at = list.indexOf(voice);
      if (at >= 0) {
        list.splice(at, 1);
      }
    }
  }

  // Past the desktop's polyphony a new voice takes the place of a released one, the oldest first,
  // or else of the oldest, as FluidSynth's would (voices over by t are no longer counted).
  function makeRoom(t) {
    synth.voices.filter((voice) => voice.end <= t).forEach(forget);
    while (synth.voices.length >= POLYPHONY) {
      const victim = synth.voices.find((voice) => voice.released) || synth.voices[0];
      silenceVoice(victim, t);
      forget(victim);
    }
  }

  function startVoice(channel, record, velocity, key, t) {
    makeRoom(t);
    const context = synth.context;
    const buffer = synth.samples[record.sample];
    const voice = { record, channel, key, start: t, released: false, oscillators: [], nodes: [] };
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.playbackRate.value = Math.pow(2, record.cents / 1200);
    if (record.loop) {
      source.loop = true;
      source.loopStart = record.loop[0] / buffer.sampleRate;
      source.loopEnd = record.loop[1] / buffer.sampleRate;
    }
    const filter = context.createBiquadFilter();
    filter.type = 'lowpass';
    filter.frequency.value = Math.max(5, Math.min(MAX_FILTER_HZ, centsHz(record.fc)));
    // Resonance in dB over a flat (Butterworth) response, as FluidSynth reads the generator,
    // and its gain lowered by half the peak's height.
    const q = Math.min(96, record.q / 10) - 3.01;
    filter.Q.value = q;
    const amp = context.createGain();
    const peak = Math.pow(10, -(record.att + concaveCb(velocity)) / 200) / Math.sqrt(dbAmp(q));
    const panner = context.createStereoPanner();
    panner.pan.value = panOf(record.pan, channel.pan);
    let last = source.connect(filter).connect(amp);
    const decayEnd = scheduleEnvelope(amp.gain, record.vol, t, peak, true);
    if (record.mod) {
      const level = [[source.detune, record.modPitch], [filter.detune, record.modFc]];
      for (const [param, amount] of level) {
        if (amount !== 0) {
          scheduleEnvelope(param, record.mod, t, amount, false);
        }
      }
    }
    if (record.lfo) {
      let tremolo = null;
      if (record.lfoVol !== 0) {
        tremolo = context.createGain();
        last = last.connect(tremolo);
        voice.nodes.push(tremolo);
      }
      // A small swing of centibels as a swing of the gain around 1 (positive is louder).
      const targets = [[source.detune, record.lfoPitch], [filter.detune, record.lfoFc]];
      if (tremolo !== null) {
        targets.push([tremolo.gain, (record.lfoVol * Math.LN10) / 200]);
      }
      lfo(context, voice, record.lfo, targets, t);
    }
    if (record.vib) {
      lfo(context, voice, record.vib, [[source.detune, record.vibPitch]], t);
    }
    last.connect(panner).connect(channel.gain);
    // FluidSynth reads no sample frames while the envelope's delay runs.
    const offset = (record.start || 0) / buffer.sampleRate;
    source.start(t + record.vol[0], offset);
    Object.assign(voice, { source, filter, amp, panner, peak, end: Infinity });
    if (!record.loop) {
      voice.end = t + record.vol[0] + (buffer.duration - offset) / source.playbackRate.value;
    }
    // A voice whose envelope decays to silence ends there, held or not.
    if (record.vol[4] === 0) {
      stopVoice(voice, decayEnd);
    }
    voice.nodes.push(source, filter, amp, panner);
    source.onended = () => {
      for (const node of voice.nodes.concat(voice.oscillators)) {
        node.disconnect();
      }
      forget(voice);
    };
    channel.voices.push(voice);
    synth.voices.push(voice);
  }

  function stopVoice(voice, t) {
    voice.source.stop(t);
    voice.end = Math.min(voice.end, t);
    for (const oscillator of voice.oscillators) {
      oscillator.stop(t);
    }
  }

  // Release: from where the envelopes are to silence at the rate their release times give for
  // the whole range, so a note released low ends sooner.
  function releaseVoice(voice, t) {
    if (voice.released) {
      return;
    }
    voice.released = true;
    const record = voice.record;
    const level = envelopeLevel(record.vol, voice.start, t, true);
    const end = t + record.vol[5] * level;
    holdAt(voice.amp.gain, t);
    if (level <= 0) {
      voice.amp.gain.setValueAtTime(0, t);
    } else {
      voice.amp.gain.setValueAtTime(voice.peak * dbAmp(-FLOOR_DB * (1 - level)), t);
      voice.amp.gain.exponentialRampToValueAtTime(voice.peak * dbAmp(-FLOOR_DB), end);
    }
    if (record.mod) {
      const mod = envelopeLevel(record.mod, voice.start, t, false);
      const targets = [[voice.source.detune, record.modPitch], [voice.filter.detune, record.modFc]];
      for (const [param, amount] of targets) {
        if (amount !== 0) {
          holdAt(param, t);
          param.setValueAtTime(amount * mod, t);
          param.linearRampToValueAtTime(0, t + record.mod[5] * mod);
        }
      }
    }
    stopVoice(voice, Math.max(t, end));
  }

  function silenceVoice(voice, t) {
    voice.released = true;
    holdAt(voice.amp.gain, t);
    voice.amp.gain.setValueAtTime(0, t);
    stopVoice(voice, t);
  }

  function noteOn(number, channel, key, velocity, t) {
    // A key struck again ends its sounding voices first, as FluidSynth does.
    noteOff(channel, key, t);
    const bank = number === DRUM_CHANNEL ? DRUM_BANK : 0;
    const records = synth.notes[bank + ':' + channel.program + ':' + key] || [];
    for (const record of records) {
      if (!record.vel || (velocity >= record.vel[0] && velocity <= record.vel[1])) {
        startVoice(channel, record, velocity, key, t);
      }
    }
  }

  function noteOff(channel, key, t) {
    for (const voice of channel.voices) {
      if (voice.key === key) {
        releaseVoice(voice, t);
      }
    }
  }

  function controller(channel, number, value, t) {
    if (number === 7 || number === 11) {
      channel[number === 7 ? 'volume' : 'expression'] = value;
      if (channel.gain !== null) {
        channel.gain.gain.setValueAtTime(channelGain(channel), t);
      }
    } else if (number === 10) {
      channel.pan = value;
      for (const voice of channel.voices) {
        voice.panner.pan.setValueAtTime(panOf(voice.record.pan, value), t);
      }
    } else if (number === 120) {
      channel.voices.forEach((voice) => silenceVoice(voice, t));
    } else if (number === 123) {
      channel.voices.forEach((voice) => releaseVoice(voice, t));
    }
  }

  synth.message = function (message, when) {
    if (synth.log.length >= LOG_LIMIT) {
      synth.log.splice(0, LOG_LIMIT / 2);
    }
    synth.log.push(message);
    const kind = message & 0xf0;
    const number = message & 0x0f;
    const data1 = (message >> 8) & 0x7f;
    const data2 = (message >> 16) & 0x7f;
    const channel = synth.channels[number];
    const live = playing();
    const t = when !== undefined ? when : synth.context !== null ? synth.context.currentTime : 0;
    if (kind === 0xc0) {
      channel.program = data1;
    } else if (kind === 0xb0) {
      controller(channel, data1, data2, t);
    } else if (kind === 0x90 && data2 > 0) {
      if (live) {
        noteOn(number, channel, data1, data2, t);
      }
    } else if (kind === 0x80 || kind === 0x90) {
      noteOff(channel, data1, t);  // also while the audio is paused: no note may hang
    }
  };

  synth.reset = function (when) {
    synth.log.push('reset');
    if (synth.context !== null) {
      const t = when === undefined ? synth.context.currentTime : when;
      for (const channel of synth.channels) {
        channel.voices.forEach((voice) => silenceVoice(voice, t));
      }
    }
  };

  // The first key press or click makes (or wakes) the page's audio; while the page is hidden its
  // sound pauses rather than hang on notes the stopped game cannot end.
  synth.unlock = function () {
    if (synth.context === null) {
      const Context = global.AudioContext || global.webkitAudioContext;
      if (!Context) {
        return;
      }
      synth.attach(new Context());
    }
    const state = synth.context.state;
    if (state !== 'running' && state !== 'closed' && !global.document.hidden) {
      synth.context.resume().catch(() => {});
    }
  };
  if (global.addEventListener) {
    for (const type of ['keydown', 'mousedown', 'pointerdown', 'touchend']) {
      global.addEventListener(type, synth.unlock, true);
    }
    global.document.addEventListener('visibilitychange', () => {
      const context = synth.context;
      if (context !== null && typeof context.startRendering !== 'function') {
        if (global.document.hidden) {
          context.suspend().catch(() => {});
        } else {
          context.resume().catch(() => {});
        }
      }
    });
  }

  global.zarvSynth = synth;
})(window);
