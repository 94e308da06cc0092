#!/usr/bin/python3
# The page end to end in headless Chromium (chromium-driver, python3-selenium), served from
# 127.0.0.1: the menu appears, keys and a pad move it, F8 switches its language, a System Test
# plays, the browser's F5 is kept from it, options survive a reload, F12 ends with a line that a
# click answers with a new game, a ship key captured and a high score's name stay after a reload.
# Every step waits for what it expects to see, up to a deadline.
# Its first menu is also the Linux build's, pixel for pixel but for a pixel's rounding.
# Usage: page_test.py <folder with index.html> [the Linux build's zarv]
import io, os, shutil, subprocess, sys, tempfile, time
from PIL import Image, ImageChops, ImageFilter
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait
from served_page import served_page


def canvas_image(d):
    canvas = d.find_element(By.CSS_SELECTOR, '#zarv-box canvas')
    return Image.open(io.BytesIO(canvas.screenshot_as_png)).convert('RGB')


def lit(image, x0, x1, y0, y1, test):
    """The (x, y) of the pixels in the box (fractions of the width and height) that pass test."""
    w, h = image.size
    px = image.load()
    return [(x, y) for y in range(int(y0 * h), int(y1 * h)) for x in range(int(x0 * w), int(x1 * w)) if test(*px[x, y])]


def menu_state(d):
    """(highlighted row, language) of the main menu shown (by the page, or an image), or None."""
    image = d if isinstance(d, Image.Image) else canvas_image(d)
    w = image.size[0]
    title = lit(image, 0.2, 0.6, 0.2, 0.3, lambda r, g, b: g > 200 and r < 200 and b < 200)
    mark = lit(image, 0.276, 0.286, 0.2, 0.8, lambda r, g, b: min(r, g, b) > 200)
    if not title or not mark:
        return None
    row = round((sum(y for _, y in mark) / len(mark) / w - 0.25625) / 0.04375)
    return row, 'en' if min(x for x, _ in title) > 0.29 * w else 'bg'


def linux_menu(zarv):
    """The Linux build's first menu, on a private virtual display of 800 x 600."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '800x600x24', '+extension', 'GLX',
                             '-nolisten', 'tcp'], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    env = dict(os.environ, DISPLAY=':' + os.read(read, 16).decode().strip())
    work = tempfile.TemporaryDirectory(prefix='zarv-linux-')  # a fresh zarv.cfg: the page's defaults
    game = subprocess.Popen([zarv], cwd=work.name, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(240):  # up to a minute
            run = lambda *command: subprocess.run(command, env=env, capture_output=True, timeout=20).stdout
            window = run('xdotool', 'search', '--onlyvisible', '--name', 'zarv').split()
            shot = window and run('import', '-window', window[0], 'png:-')
            image = shot and Image.open(io.BytesIO(shot)).convert('RGB')
            if image and menu_state(image) == (1, 'bg'):
                return image
            time.sleep(0.25)
        raise AssertionError('the Linux build never showed its menu')
    finally:
        for process in (game, xvfb):
            process.terminate()
            process.wait()
        work.cleanup()


def same_drawing(a, b):
    """Every lit pixel of each within one pixel of a lit pixel of the other. The glyphs are the same
    bitmaps in both, but Mesa's OpenGL and the page's WebGL (SwiftShader) may each round an edge of
    a text quad or of the highlight's triangle to the neighbouring pixel: one pixel, no more."""
    lit_mask = lambda image: image.convert('L').point(lambda v: 255 if v > 100 else 0)
    a, b = lit_mask(a), lit_mask(b)
    grown = lambda mask: mask.filter(ImageFilter.MaxFilter(3))
    return not ImageChops.subtract(a, grown(b)).getbbox() and not ImageChops.subtract(b, grown(a)).getbbox()


def main(page, linux=None):
    with served_page(page) as (d, port):
        def until(what, condition, seconds=60):
            try:
                WebDriverWait(d, seconds, poll_frequency=0.25).until(lambda _: condition(), what)
            except Exception:
                d.save_screenshot('page-test-failure.png')  # what the page showed, beside the test's output
                raise

        # One game pad in the browser's standard layout, its buttons set by the test.
        d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': (
            "const pad = {id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,"
            " axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};"
            "window.testPad = pad; Object.defineProperty(navigator, 'getGamepads', {value: () => [pad]});")})

        def frames(n=3):  # the game reads the keys once a frame
            d.execute_async_script('let n = arguments[0]; const done = arguments[1];'
                                   'const step = () => --n ? requestAnimationFrame(step) : done();'
                                   'requestAnimationFrame(step);', n)

        def keys(*sequence):  # each seen down, then up, as a player's taps are
            for key in sequence:
                ActionChains(d).key_down(key).perform(), frames()
                ActionChains(d).key_up(key).perform(), frames()

        def menu_shows(row, language):
            until(f'the menu with row {row} marked, in {language}', lambda: menu_state(d) == (row, language))

        def load():
            d.get(f'http://127.0.0.1:{port}/')
            until('the canvas', lambda: d.find_elements(By.CSS_SELECTOR, '#zarv-box canvas'))

        load()
        menu_shows(1, 'bg')
        if linux and os.path.exists(linux) and all(map(shutil.which, ['Xvfb', 'import', 'xdotool'])):
            d.execute_script("document.querySelector('#zarv-box canvas').style = 'width: 800px; height: 600px'")
            assert same_drawing(canvas_image(d), linux_menu(linux)), "the page's menu is not the Linux build's"
            d.execute_script("document.querySelector('#zarv-box canvas').style = ''")
        else:
            print('page test: no Linux build or no virtual display, so no comparison with its menu')
        keys(Keys.DOWN, Keys.DOWN)
        menu_shows(3, 'bg')
        keys(Keys.UP, Keys.F8)
        menu_shows(2, 'en')
        for pressed in ('true', 'false'):  # the pad's D-pad up
            d.execute_script(f'testPad.buttons[12].pressed = {pressed}'), frames()
        menu_shows(1, 'en')
        # Keys pressed while another window has the focus never count.
        d.execute_script("window.dispatchEvent(new FocusEvent('blur'))")
        keys(Keys.DOWN)
        d.execute_script("window.dispatchEvent(new FocusEvent('focus'))"), frames()
        assert menu_state(d) == (1, 'en'), 'a key pressed without the focus moved the menu'
        prevented = d.execute_script(
            "const e = new KeyboardEvent('keydown', {key: 'F5', code: 'F5', bubbles: true, cancelable: true});"
            "window.dispatchEvent(e); window.dispatchEvent(new KeyboardEvent('keyup', {key: 'F5', code: 'F5'}));"
            "return e.defaultPrevented;")
        assert prevented, 'F5 keeps its browser meaning in the page'

        # A System Test: the menu goes, the field moves on by itself; Esc brings the menu back (and
        # still held there, jumps to Exit).
        keys(Keys.UP, Keys.ENTER)
        until('the System Test playing', lambda: menu_state(d) is None)
        first = canvas_image(d).tobytes()
        until('the System Test moving', lambda: canvas_image(d).tobytes() != first)
        # It sounds: the page's synthesiser is sent notes, the ambient bed's program (122) among them.
        sent = lambda kind, test: d.execute_script(
            "return window.zarvSynth.log.filter(m => typeof m === 'number' && (m & 0xF0) === %d && %s).length"
            % (kind, test))
        until('notes sent to the synthesiser', lambda: sent(0x90, '(m >> 16 & 0x7F) > 0') > 0)
        assert sent(0xC0, '(m >> 8 & 0x7F) === 122') > 0, 'the ambient bed never chose its program'
        keys(Keys.ESCAPE)
        menu_shows(4, 'en')

        # The resolution one step up, applied by Back (Esc jumps to it): the window at 960 x 720,
        # and so after a reload, which reads the settings back from the browser's storage.
        keys(Keys.UP, Keys.UP, Keys.ENTER, Keys.RIGHT, Keys.ESCAPE, Keys.ENTER)
        width = lambda: d.execute_script("const c = document.querySelector('#zarv-box canvas'); return c && c.width")
        until('the options applied', lambda: width() == 960)
        menu_shows(2, 'en')
        load()
        until('the options read back after a reload', lambda: width() == 960)
        menu_shows(1, 'en')

        # F12 ends the game: one line, and a click starts the game again.
        keys(Keys.F12)
        until('the line after the end', lambda: menu_state(d) is None and lit(
            canvas_image(d), 0.3, 0.7, 0.45, 0.55, lambda r, g, b: g > 200 and r < 200))
        d.find_element(By.ID, 'zarv-box').click()
        menu_shows(1, 'en')

        # Forward captured as Q on the Controls screen: the page answers while the capture waits, the
        # row shows the new key, the settings file keeps it (Q is 81) and it is there after a reload.
        row0 = lambda x0=0.55: lit(canvas_image(d), x0, x0 + 0.4, 0.31, 0.37, lambda r, g, b: min(r, g, b) > 200)
        stored = lambda: d.execute_script("return FS.readFile('zarv.cfg', {encoding: 'utf8'})")
        keys(Keys.DOWN, Keys.ENTER, *[Keys.DOWN] * 5, Keys.ENTER)
        menu_shows(0, 'en')
        before = row0()
        keys(Keys.ENTER)
        until('the capture waiting', lambda: row0() != before)
        waiting = row0()
        assert d.execute_script('return 1') == 1, 'the page stopped answering during the capture'
        keys('q')
        until('Q shown for Forward', lambda: row0() not in (before, waiting))
        bound = row0()
        keys(Keys.ESCAPE, Keys.ENTER, Keys.ESCAPE, Keys.ENTER)
        until('the binding saved', lambda: 'W=81' in stored().split())
        load()
        keys(Keys.DOWN, Keys.ENTER, *[Keys.DOWN] * 5, Keys.ENTER)
        until('Q shown for Forward after a reload', lambda: row0() == bound)

        # A game scoring, then End Game: the name typed is first in the high scores after a reload.
        keys(Keys.ESCAPE, Keys.ENTER, Keys.ESCAPE, Keys.ENTER, Keys.DOWN, Keys.ENTER)
        menu_shows(4, 'en')  # the high scores' Back
        table = row0(0.29)
        keys(Keys.ENTER, Keys.UP, Keys.UP, Keys.ENTER)
        until('the game', lambda: menu_state(d) is None)
        # The HUD's "[ wave ] [ score ]" in its grey: a score's digits add more than a star's 3 x 3.
        hud = lambda: len(lit(canvas_image(d), 0.48, 0.62, 0.0, 0.035, lambda *c: c == (178, 178, 178)))
        start = hud()
        ActionChains(d).key_down(Keys.TAB).key_down(Keys.NUMPAD6).perform()  # shooting all round
        until('a score', lambda: hud() > start + 20, 120)
        ActionChains(d).key_up(Keys.TAB).key_up(Keys.NUMPAD6).perform()
        keys(Keys.ESCAPE, Keys.UP, Keys.UP, Keys.UP, Keys.ENTER)
        until('the name entry', lambda: menu_state(d) is None and lit(
            canvas_image(d), 0.3, 0.7, 0.45, 0.5, lambda r, g, b: min(r, g, b) > 200))
        keys(*'pilot', Keys.ENTER)
        until('the name saved', lambda: 'lud1=pilot' in stored().split())
        load()
        keys(Keys.DOWN, Keys.DOWN, Keys.ENTER)
        menu_shows(4, 'en')
        assert row0(0.29) != table, 'the high scores after a reload are those before the game'
        print('page test: every step passed')


if __name__ == '__main__':
    main(*sys.argv[1:3])
