# zarv: make run (install what is missing, build, play) and make test (install, build, run every test).
BUILD ?= build
BUILD_SAN ?= build-sanitize
JOBS ?= $(shell nproc)
# Only the project's own test builds make warnings errors.
WERROR :=
test: WERROR := -DZARV_WERROR=ON

.PHONY: run test deps build build-sanitize clean

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

build-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DZARV_SANITIZE=ON -DZARV_BENCH=OFF \
		-DCMAKE_CXX_COMPILER=clang++ $(WERROR)
	cmake --build $(BUILD_SAN) -j $(JOBS)

run: build
	@tools/run.sh $(BUILD)

# Every test twice: the optimised GCC build, then a Clang build under AddressSanitizer and UBSan.
test: build build-sanitize
	tools/run-tests.sh $(BUILD)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 tools/run-tests.sh $(BUILD_SAN)

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
