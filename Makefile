# The two commands of the README, and the steps behind them. Each installs
# what it needs first (Debian packages, as root), so both work on a fresh
# machine.
#   make run    build torvane.exe and start it (under Wine on Linux)
#   make test   native unit tests (ASan + UBSan), a short fuzz run, then the
#               Windows tests under Wine

SHELL := /bin/bash
WIN64 := build/win64
WITH_WINE := scripts/with-wine.sh $(WIN64)

.PHONY: all deps native native-test fuzz-build fuzz fuzz-smoke windows windows-test check-exe test run screenshot bench format clean

all: windows

deps:
	@bash scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

native-test: native
	ctest --preset native

# libFuzzer targets (clang): FUZZ_SECONDS each with make fuzz, 5 s each in
# make test. The corpus grows under build/fuzz/corpus, not in fuzz/corpus.
FUZZ_SECONDS ?= 60

fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

fuzz: fuzz-build
	bash scripts/fuzz.sh build/fuzz $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	bash scripts/fuzz.sh build/fuzz 5

# torvane.exe as shipped (32-bit) and its 64-bit twin that the Wine tests run.
windows: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

check-exe: windows
	bash scripts/check-exe.sh build/win32/bin/torvane.exe

windows-test: windows
	$(WITH_WINE) ctest --preset win64

test: native-test fuzz-smoke check-exe windows-test

# Runs the 64-bit build: many Linux kernels cannot run 32-bit code, and so
# not 32-bit Wine; on Windows, build/win32/bin/torvane.exe is the program.
run: windows
	$(WITH_WINE) wine $(WIN64)/bin/torvane.exe

# The main window, and the About window as opened from Help > About.
screenshot: windows
	cmake --build --preset win64 --target show_about
	$(WITH_WINE) bash scripts/screenshot.sh $(WIN64)/bin/torvane.exe docs/main-window.png
	$(WITH_WINE) bash scripts/screenshot.sh $(WIN64)/bin/show_about.exe docs/about-window.png About 20

bench: deps
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release
	./build/native-release/bench/cipher_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
