# Updater: build, test and demo. Every target installs what it needs first.
SHELL := /bin/bash
JOBS ?= 2

BUILD := build
CMAKE_WIN = cmake -G Ninja -DCMAKE_BUILD_TYPE=Release
# The publisher's public key for the shipped exe (see README, Signed updates).
KEY_FLAG = $(if $(UPDATER_PUBLIC_KEY),-DUPDATER_PUBLIC_KEY=$(abspath $(UPDATER_PUBLIC_KEY)))

.PHONY: all deps build build-i686 build-x86_64 build-native test test-native test-wine demo screenshots bench test32 clean

all: build

deps:
	bash scripts/install-deps.sh

build: build-i686 build-x86_64

build-i686: deps
	$(CMAKE_WIN) -S . -B $(BUILD)/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DUPDATER_BUILD_TESTS=OFF $(KEY_FLAG)
	cmake --build $(BUILD)/i686 -j $(JOBS)

build-x86_64: deps
	$(CMAKE_WIN) -S . -B $(BUILD)/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(KEY_FLAG)
	cmake --build $(BUILD)/x86_64 -j $(JOBS)

build-native: deps
	cmake -G Ninja -DCMAKE_BUILD_TYPE=Debug -S . -B $(BUILD)/native
	cmake --build $(BUILD)/native -j $(JOBS)

test-native: build-native
	ctest --test-dir $(BUILD)/native --output-on-failure --no-tests=error -j $(JOBS)

test-wine: build
	bash scripts/run-wine-tests.sh $(BUILD)/x86_64

# The shipped 32-bit exe under 32-bit Wine (emulated: slow).
test32: build-i686
	bash scripts/run-test32.sh $(BUILD)/i686

# The 32-bit suite last: it is the slowest.
test: test-native test-wine test32

demo: build
	bash scripts/demo.sh $(BUILD)/x86_64

screenshots: build
	bash scripts/screenshots.sh $(BUILD)/x86_64

# Throughput, progress, memory and start-up figures (not part of make test).
bench: build
	bash scripts/bench.sh $(BUILD)/x86_64

clean:
	rm -rf $(BUILD)
