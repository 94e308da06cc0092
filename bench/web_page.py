#!/usr/bin/python3
# The page's figures (a benchmark, not a test): time from navigation start to the first menu frame,
# frames per second during a System Test at 800x600 over about 10 s, and the bytes a static host
# serves for it compressed (gzip -9 of each file index.html loads).
# Run after the web build: /usr/bin/python3 bench/web_page.py build-web
# Needs chromium, chromium-driver and python3-selenium; serves the folder from 127.0.0.1.
import gzip, os, sys, time
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from served_page import served_page  # the page test's server and browser

PAGE_FILES = ['index.html', 'zarv.js', 'zarv.wasm', 'zarv.data', 'synth.js', 'zarv-sounds.bin']

# Every WebGL draw call is noted: the first gives the time the first frame was drawn (the menu is the
# game's first picture; the page's loading line is HTML), and a frame counts when the game drew in it.
HOOK = """
window.bench = {firstDraw: 0, drawn: false, frames: 0};
for (const name of ['drawArrays', 'drawElements']) {
  const original = WebGL2RenderingContext.prototype[name];
  WebGL2RenderingContext.prototype[name] = function (...args) {
    if (!bench.firstDraw) bench.firstDraw = performance.now();
    bench.drawn = true;
    return original.apply(this, args);
  };
}
const count = () => { if (bench.drawn) { bench.frames++; bench.drawn = false; } requestAnimationFrame(count); };
requestAnimationFrame(count);
"""


def main(page):
    total = sum(len(gzip.compress(open(os.path.join(page, f), 'rb').read(), 9)) for f in PAGE_FILES)
    with served_page(page) as (d, port):
        wait = WebDriverWait(d, 120, poll_frequency=0.05)
        d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': HOOK})
        d.get(f'http://127.0.0.1:{port}/')
        first = wait.until(lambda _: d.execute_script('return bench.firstDraw'))
        print(f'first menu frame: {first:.0f} ms after navigation start')
        width = d.execute_script("return document.querySelector('#zarv-box canvas').width")
        assert width == 800, f'the page opened at {width} pixels wide, not 800 (a fresh profile is expected)'
        for key in (Keys.UP, Keys.ENTER):  # from New Game up to System Test, and start it
            ActionChains(d).key_down(key).perform()
            time.sleep(0.2)
            ActionChains(d).key_up(key).perform()
            time.sleep(0.2)
        time.sleep(2)  # the System Test under way
        start = d.execute_script('return [bench.frames, performance.now()]')
        time.sleep(10)
        end = d.execute_script('return [bench.frames, performance.now()]')
        print(f'System Test at 800x600: {(end[0] - start[0]) * 1000 / (end[1] - start[1]):.1f} frames per second')
        print(f'page served compressed (gzip -9 of {", ".join(PAGE_FILES)}): {total} bytes ({total / 1048576:.2f} MiB)')


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'build-web')
