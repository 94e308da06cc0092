#!/usr/bin/python3
# The page's figures (a benchmark, not a test): time from navigation start to the first menu frame,
# frames per second during a System Test at 800x600 over about 10 s, and the bytes a static host
# serves for it compressed (gzip -9 of each file index.html loads).
# Run after the web build: /usr/bin/python3 bench/web_page.py build-web
# Needs chromium, chromium-driver and python3-selenium; serves the folder from 127.0.0.1.
import gzip, os, socket, subprocess, sys, tempfile, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

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
    s = socket.socket()
    s.bind(('127.0.0.1', 0))
    port = s.getsockname()[1]
    s.close()
    server = subprocess.Popen([sys.executable, '-m', 'http.server', '--bind', '127.0.0.1', str(port), '-d', page],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    profile = tempfile.TemporaryDirectory(prefix='zarv-bench-')
    options = webdriver.ChromeOptions()
    for flag in ['--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
                 '--window-size=1100,900', '--user-data-dir=' + profile.name]:
        options.add_argument(flag)
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        wait = WebDriverWait(d, 120, poll_frequency=0.05)
        d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': HOOK})
        wait.until(lambda _: socket.socket().connect_ex(('127.0.0.1', port)) == 0)
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
    finally:
        d.quit()
        server.terminate()
        server.wait()
        profile.cleanup()


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'build-web')
