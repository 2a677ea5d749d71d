# Convenience targets over CMake. `make play` and `make test` do the whole
# set-up on a fresh Debian machine (see README.md).
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build play test package sanitize fuzz bench clean

all: build

deps:
	bash scripts/install-deps.sh

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

play: deps build
	bash scripts/play-demo.sh $(BUILD)

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package, in $(BUILD)/package (README.md, Installing).
package: deps build
	cd $(BUILD) && cpack -G DEB

sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZUNO_SANITIZE=ON -DZUNO_BENCH=OFF >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUNO_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/fuzz-smoke.sh build-fuzz $(FUZZ_SECONDS)

bench: deps build
	for b in $(BUILD)/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD) build-asan build-fuzz
