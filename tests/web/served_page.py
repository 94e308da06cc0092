# The page's folder served from 127.0.0.1 by Python's own server (it gives .wasm its type), and a
# headless Chromium with software WebGL and a profile of its own: what the page test and the
# page's bench both open.
import contextlib, socket, subprocess, sys, tempfile, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service


@contextlib.contextmanager
def served_page(folder):
    """Yields (driver, port) once the server answers; the browser, the server and the profile go
    again afterwards."""
    probe = socket.socket()
    probe.bind(('127.0.0.1', 0))
    port = probe.getsockname()[1]
    probe.close()
    server = subprocess.Popen([sys.executable, '-m', 'http.server', '--bind', '127.0.0.1', str(port), '-d', folder],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    profile = tempfile.TemporaryDirectory(prefix='zarv-chromium-')
    options = webdriver.ChromeOptions()
    for flag in ['--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
                 '--window-size=1100,900', '--user-data-dir=' + profile.name]:
        options.add_argument(flag)
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    try:
        deadline = time.monotonic() + 60
        while socket.socket().connect_ex(('127.0.0.1', port)) != 0:
            if time.monotonic() > deadline:
                raise AssertionError('the page server never answered')
            time.sleep(0.05)
        yield d, port
    finally:
        d.quit()
        server.terminate()
        server.wait()
        profile.cleanup()
