#!/usr/bin/python3
"""The page's synthesiser in headless Chromium: each effect's messages, as the game sends them,
rendered through web/synth.js into an OfflineAudioContext. Each must sound at the level and on
the side the desktop's FluidSynth gives (measured once, in the table), and be silent once its
notes are off and released or a reset came. The page must stay silent without errors
until a key is pressed, then play.

Usage: web_synth_test.py SOURCE_DIR WORK_DIR (the sound file is cut there from the installed fonts)
"""
import functools
import http.server
import math
import os
import shutil
import subprocess
import sys
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains


def start(channel, pan, volume, program, note):
    """startNote of src/sound/sound.cpp: pan, channel volume, program, note-on at velocity 100."""
    return [0xB0 | channel | 10 << 8 | pan << 16, 0xB0 | channel | 7 << 8 | volume << 16,
            0xC0 | channel | program << 8, 0x90 | channel | note << 8 | 100 << 16]


def stop(channel, note):
    return [0x90 | channel | note << 8]


# Name, [(ms, messages)], the windows [from ms, to ms] measured and the left and right levels in
# each (dB RMS) that the desktop's FluidSynth gives, and the ms by which every note is off and
# released. A message -1 is a reset.
FIRST = ([0, 100], [100, 600])
BLOCK_MS = 64 / 44.1
CASES = [
    ('player shot, ship at the left', [(0, start(0, 0, 63, 127, 60)), (250, stop(0, 61) + stop(0, 60) + stop(0, 59))],
     FIRST, ((-27.1, -240), (-35.2, -240)), 1700),
    ('enemy shot', [(0, start(1, 64, 56, 23, 45)), (100, stop(1, 45))], FIRST, ((-45.1, -45.0), (-54.3, -54.2)), 600),
    ('big burst at the right', [(0, start(9, 127, 127, 56, 75)), (450, stop(9, 75))], FIRST,
     ((-51.1, -19.7), (-45.0, -19.4)), 3500),
    ('thrust', [(0, start(7, 96, 63, 85, 30) + start(7, 96, 63, 85, 10) + start(7, 96, 63, 85, 3)),
                (50, stop(7, 30) + stop(7, 10) + stop(7, 3))], FIRST, ((-47.0, -39.4), (-49.9, -42.2)), 1600),
    # Held, the thrust is struck again before its notes end: each strike ends the one before. The
    # strikes overlap and their sum depends on the frames they start on: these are on FluidSynth's
    # 64-frame blocks, so both synthesisers start them on the same ones; measured before they pass
    # the 64 voices both keep (past it, which old voices make way decides the sum as much).
    ('thrust held', [(i * 21 * BLOCK_MS, start(7, 96, 63, 85, 30) + start(7, 96, 63, 85, 10) +
                      start(7, 96, 63, 85, 3)) for i in range(17)] + [(500, stop(7, 30) + stop(7, 10) + stop(7, 3))],
     ([0, 100], [200, 300]), ((-52.4, -44.7), (-54.3, -46.6)), 2100),
    ('small burst', [(0, start(10, 32, 42, 113, 60) + start(8, 32, 42, 98, 50)), (50, stop(10, 60) + stop(8, 50))],
     FIRST, ((-37.9, -44.1), (-42.5, -50.1)), 9500),
    ('bonus appears', [(0, start(11, 63, 72, 96, 72)), (100, stop(11, 72))], FIRST, ((-34.3, -34.5), (-37.9, -38.1)),
     3300),
    ('bonus taken', [(0, start(11, 63, 63, 90, 60)), (100, stop(11, 60) + start(11, 63, 63, 90, 67)),
                     (600, stop(11, 67))], FIRST, ((-38.0, -38.6), (-36.9, -35.0)), 4000),
    ('extra life', [(0, start(12, 63, 63, 55, 60) + start(13, 63, 63, 91, 84)), (250, stop(12, 60) + stop(13, 84))],
     FIRST, ((-32.6, -32.9), (-35.2, -35.4)), 6000),
    # Five voices struck at random places; their release is 5 s, so only the reset ends them now.
    ('ambient bed', [(0, start(2, 10, 25, 122, 30) + start(3, 40, 25, 122, 20) + start(4, 64, 31, 122, 15) +
                      start(5, 90, 31, 122, 10) + start(6, 120, 31, 122, 5)), (4000, [-1])],
     ([0, 1000], [2500, 3500]), ((-49.2, -52.2), (-50.9, -44.4)), 4005),
]
TOLERANCE_DB = 3.0
SILENT_DB = -80.0

PAGE = """<!doctype html><meta charset="utf-8"><title>synth</title><link rel="icon" href="data:,"><body>
<script src="synth.js"></script><script>window.loaded = zarvSynth.load('zarv-sounds.bin');</script>"""

# Renders [(ms, [messages])] (a message -1 is a reset) into a stereo OfflineAudioContext at 44.1 kHz
# and returns the RMS of each channel over the windows asked for, [from ms, to ms].
RENDER = """
const [events, length, windows, done] = arguments;
const context = new OfflineAudioContext(2, Math.ceil(length * 44.1), 44100);
zarvSynth.attach(context);
for (const [ms, messages] of events) {
  for (const m of messages) {
    if (m < 0) { zarvSynth.reset(ms / 1000); } else { zarvSynth.message(m, ms / 1000); }
  }
}
context.startRendering().then((buffer) => {
  done(windows.map(([from, to]) => [0, 1].map((c) => {
    const data = buffer.getChannelData(c).subarray(Math.round(from * 44.1), Math.round(to * 44.1));
    return Math.sqrt(data.reduce((sum, x) => sum + x * x, 0) / data.length);
  })));
}, (error) => done(String(error)));
"""


def db(rms):
    return 20 * math.log10(rms) if rms > 0 else -240.0


def serve(directory):
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=directory)
    handler.log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
                 '--autoplay-policy=no-user-gesture-required'):
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def main():
    source, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    subprocess.run([sys.executable, os.path.join(source, 'tools/cut-soundfont.py'),
                    os.path.join(work, 'zarv-sounds.bin')], check=True, stdout=subprocess.DEVNULL)
    shutil.copy(os.path.join(source, 'web/synth.js'), work)
    with open(os.path.join(work, 'index.html'), 'w') as page:
        page.write(PAGE)
    server = serve(work)
    driver = browser()
    failures = []

    def check(ok, what):
        print(('ok   ' if ok else 'FAIL ') + what)
        if not ok:
            failures.append(what)

    try:
        driver.set_script_timeout(120)
        driver.get(f'http://127.0.0.1:{server.server_port}/index.html')
        check(driver.execute_async_script('window.loaded.then(arguments[0])') is True, 'the sound file loads')
        # Before a key press there is no audio: notes are dropped, controllers kept, nothing thrown.
        state = driver.execute_script("""
            for (const m of arguments[0]) zarvSynth.message(m);
            return [zarvSynth.context === null, zarvSynth.channels[0].pan, zarvSynth.log.length];""",
                                      start(0, 20, 63, 127, 60))
        check(state == [True, 20, 4], f'silent before a key press, messages logged: {state}')
        ActionChains(driver).send_keys('x').perform()
        running = driver.execute_async_script("""
            const done = arguments[0], context = zarvSynth.context;
            if (!context) return done('no context');
            if (context.state === 'running') return done('running');
            context.onstatechange = () => done(context.state);""")
        check(running == 'running', f'a key press starts the audio: {running}')
        driver.execute_script('zarvSynth.reset()')

        for name, events, windows, levels, silent_from in CASES:
            *heard, tail = driver.execute_async_script(RENDER, events, silent_from + 200,
                                                       list(windows) + [[silent_from, silent_from + 200]])
            heard = [[db(x) for x in window] for window in heard]
            near = all(abs(got - want) <= TOLERANCE_DB or got < SILENT_DB and want < SILENT_DB
                       for got_pair, want_pair in zip(heard, levels) for got, want in zip(got_pair, want_pair))
            shown = ', '.join(f'L {l:.1f} R {r:.1f}' for l, r in heard)
            check(near, f'{name}: {shown} dB, the desktop {levels}')
            check(max(db(x) for x in tail) < SILENT_DB, f'{name}: silent once its notes are off or reset')
        errors = [e['message'] for e in driver.get_log('browser') if e['level'] == 'SEVERE']
        check(not errors, f'no errors on the page: {errors}')
    finally:
        driver.quit()
        server.shutdown()
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
