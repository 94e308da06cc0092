# zarv: make run (install what is missing, build, play) and make test (install, build, run every test).
BUILD ?= build
BUILD_SAN ?= build-sanitize
BUILD_WIN ?= build-windows
BUILD_WEB ?= build-web
JOBS ?= $(shell nproc)
# Only the project's own test builds make warnings errors.
WERROR :=
test: WERROR := -DZARV_WERROR=ON

.PHONY: run test deps build build-sanitize windows web clean package

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

build-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DZARV_SANITIZE=ON -DZARV_BENCH=OFF \
		-DCMAKE_CXX_COMPILER=clang++ $(WERROR)
	cmake --build $(BUILD_SAN) -j $(JOBS)

# The Windows game, cross-built with MinGW-w64: $(BUILD_WIN)/zarv-windows-x64.zip.
windows:
	JOBS=$(JOBS) tools/build-windows.sh $(BUILD_WIN) $(WERROR)

# The web page, built with Emscripten: $(BUILD_WEB)/index.html with the files it loads, and
# $(BUILD_WEB)/zarv-web.zip; its glyph bitmaps come from a tool of the Linux build in $(BUILD).
web: deps
	JOBS=$(JOBS) tools/build-web.sh $(BUILD_WEB) $(BUILD) $(WERROR)

run: build
	@tools/run.sh $(BUILD)

# Every test twice: the optimised GCC build, then a Clang build under AddressSanitizer and UBSan;
# then the Windows build's tests under Wine; then the web build's under node and headless Chromium.
test: build build-sanitize windows web
	tools/run-tests.sh $(BUILD)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 tools/run-tests.sh $(BUILD_SAN)
	tools/run-windows-tests.sh $(BUILD_WIN) $(BUILD)
	ctest --test-dir $(BUILD_WEB)/zarv --output-on-failure --timeout 900

# The Debian package, in the build directory: zarv_<version>-1_<arch>.deb.
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_WIN) $(BUILD_WEB)
