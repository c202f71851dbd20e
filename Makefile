# The two commands of the README, and the steps behind them. Each installs
# what it needs first (Debian packages, as root), so both work on a fresh
# machine.
#   make run    build torvane.exe and start it (under Wine on Linux)
#   make test   native unit tests (ASan + UBSan), a short fuzz run, checks of the
#               shipped exe and the package, then the Windows tests under Wine,
#               on the shipped 32-bit exe where the machine runs 32-bit code
#               and always on its 64-bit twin
#   make bench  figures against baselines of the same run (not part of make test)
#   make mutants  plants each listed fault and checks that a test catches it
#   make mutants-sample  the same for N faults drawn at random with SEED
#   make dist   build/dist/torvane-1.00-win32.zip

SHELL := /bin/bash
WIN32 := build/win32
WIN64 := build/win64
WITH_WINE := scripts/with-wine.sh $(WIN64)

# "yes" where this machine runs 32-bit code, and so the shipped 32-bit exe
# under Wine; otherwise why not. Asked once, when a recipe first needs it:
# after deps, which installs the 32-bit loader that the question starts.
RUNS_32BIT = $(eval RUNS_32BIT := $$(shell bash scripts/runs-32bit.sh))$(RUNS_32BIT)
# $(call IF_32BIT,then,else)
IF_32BIT = $(if $(filter yes,$(RUNS_32BIT)),$(1),$(2))
# The build that make run, screenshot and bench show: the shipped one where it runs.
SHOWN = $(call IF_32BIT,$(WIN32),$(WIN64))
SHOWN_NAME = $(call IF_32BIT,the shipped 32-bit torvane.exe,the 64-bit twin of torvane.exe; the shipped 32-bit exe cannot run here: $(RUNS_32BIT))

.PHONY: all deps check-layers check-names mutants native native-test fuzz-build fuzz fuzz-smoke windows windows-test check-exe check-dist test run screenshot bench dist format clean mutants-sample

all: windows

deps:
	@bash scripts/install-deps.sh

# Includes point one way between the folders of src/, and files stay small.
check-layers:
	bash scripts/check-layers.sh

# No name of the portable headers is a macro of <windows.h>.
check-names: deps
	bash scripts/check-names.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

native-test: native
	ctest --preset native --output-junit $(CURDIR)/build/native-tests.xml

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

# torvane.exe as shipped (32-bit) and its 64-bit twin, each with the Wine
# tests and benchmarks; where the machine cannot run 32-bit code, the shipped
# build is only the program and help.doc.
windows: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 $(call IF_32BIT,,--target torvane)
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

check-exe: windows
	bash scripts/check-exe.sh build/win32/bin/torvane.exe

# The release package, checked as built (in a temporary folder).
check-dist: windows
	bash scripts/check-dist.sh

# The same e2e suite on the 64-bit twin and on the shipped exe, each build in
# its own Wine prefix.
windows-test: windows
	rm -f build/windows-tests.xml build/shipped-tests.xml
	$(WITH_WINE) scripts/with-full-disk.sh $(WIN64) ctest --preset win64 --output-junit $(CURDIR)/build/windows-tests.xml
	$(call IF_32BIT,scripts/with-wine.sh $(WIN32) scripts/with-full-disk.sh $(WIN32) ctest --preset win32 --output-junit $(CURDIR)/build/shipped-tests.xml,@echo "windows-test: the shipped 32-bit exe is not run: $(RUNS_32BIT)")

test: check-layers check-names native-test fuzz-smoke check-exe check-dist windows-test
	bash scripts/test-summary.sh --twin build/windows-tests.xml \
	  $(call IF_32BIT,--shipped build/shipped-tests.xml,--shipped-not-run "$(RUNS_32BIT)") build/native-tests.xml

# Plants each fault of scripts/mutants/faults.txt in turn and checks that the
# tests catch it (not part of make test), on each build this machine runs.
# MUTANTS=text runs only the faults whose description contains it.
mutants: deps
	scripts/with-wine.sh build/mutants-win64 scripts/with-full-disk.sh build/mutants-win64 \
	  bash scripts/mutants/run.sh "$(MUTANTS)"

# N faults (100 by default) drawn over src/ with SEED (by default the time)
# from libclang's syntax trees; each runs the suites make test runs over its
# file. Not part of make test. SAMPLE_LIST=1 prints the draw only;
# RETRY=FILE runs only the survivors FILE lists, as a run printed them.
N ?= 100
SEED ?=
mutants-sample: deps
	bash scripts/install-deps.sh --mutants
	scripts/with-wine.sh build/mutants-win64 scripts/with-full-disk.sh build/mutants-win64 \
	  /usr/bin/python3 scripts/mutants/sample.py --count "$(N)" --seed "$(SEED)" $(if $(SAMPLE_LIST),--list) $(if $(RETRY),--retry $(abspath $(RETRY)))

# The shipped exe where this machine runs 32-bit code, its 64-bit twin where
# not; on Windows, build/win32/bin/torvane.exe is the program.
run: windows
	@echo "make run: $(SHOWN_NAME)"
	scripts/with-wine.sh $(SHOWN) wine $(SHOWN)/bin/torvane.exe

# The main window, and the About window as opened from Help > About, of the
# same build as make run.
screenshot: windows
	@echo "make screenshot: $(SHOWN_NAME)"
	cmake --build $(SHOWN) --target show_about
	scripts/with-wine.sh $(SHOWN) bash scripts/screenshot.sh $(SHOWN)/bin/torvane.exe docs/main-window.png
	scripts/with-wine.sh $(SHOWN) bash scripts/screenshot.sh $(SHOWN)/bin/show_about.exe docs/about-window.png About 20

# Figures, not tests: the cipher against memcpy (native), then torvane.exe's
# size and imports and its start-up, memory and window timings under Wine, each
# against a baseline measured in the same run (the floors are built for both
# architectures, for the sizes); the shipped exe's start-up and memory beside
# its twin's where this machine runs it. The window benchmarks run pinned to
# one CPU (BENCH_CPU, the last by default). BENCH_RUNS=3 for a short run; 31
# by default.
bench: windows
	cmake --build --preset win32 --target same_window_floor bare_floor themed_floor
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release
	./build/native-release/bench/cipher_bench
	bash scripts/bench.sh $(BENCH_RUNS)

# torvane-1.00-win32.zip: the shipped torvane.exe, help.doc beside it, README.md.
dist: windows
	bash scripts/dist.sh build/dist/torvane-1.00-win32.zip

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
