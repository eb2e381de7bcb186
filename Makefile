# make          build the plug-in and everything else into dist/ and build/
# make demo     run the host stand-in on the built plug-in, screenshots in out/
# make test     native unit tests, Win32 tests under Wine, a short fuzz pass
# make fuzz     longer fuzzing (FUZZ_SECONDS per target, default 600)
# make soak     CALLS calls (default 10000) through the real plug-in mixing every
#               function and window; prints GDI object and window counts before
#               and after and the calls per second, fails on any growth
# make bench    the plug-in's windows timed against the platform's own controls
# make gallery  every look as a picture: docs/gallery.md and docs/gallery/
# make dist     the release zip: dist/XELMCalendar-<version>.zip
# make mutants  mutation scores: the unit tests over the portable sources, then
#               the Win32 tests over a sample of the Win32 sources
#               (MUTANTS_ARGS and MUTANTS32_ARGS pass options to each run)
CROSS := build/cross
NATIVE := build/native
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600
CALLS ?= 10000
MUTANTS32_ARGS ?= --sample 246 --seed 42

.PHONY: all deps cross native demo test fuzz soak bench gallery dist mutants clean

all: cross native

deps:
	@scripts/install-deps

$(CROSS)/CMakeCache.txt:
	cmake -S . -B $(CROSS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null

$(NATIVE)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(NATIVE) >/dev/null

cross: deps $(CROSS)/CMakeCache.txt
	cmake --build $(CROSS) -j $(JOBS)
	@mkdir -p dist && cp $(CROSS)/bin/XELMCalendar.fmx $(CROSS)/bin/hostsim.exe dist/

native: deps $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

demo: all
	scripts/demo

test: all
	cd $(NATIVE) && ctest --output-on-failure
	cd $(CROSS) && env -u WINE_DPI -u WINE_DIALOG_FONT ctest --output-on-failure; status=$$?; \
	  ../../scripts/wine-run --stop .; exit $$status

bench: cross
	env -u WINE_DPI scripts/wine-run $(CROSS)/bin/bench.exe "Z:$(CURDIR)/dist/XELMCalendar.fmx" $(BENCH_ARGS); \
	  status=$$?; scripts/wine-run --stop $(CROSS); exit $$status

gallery: cross
	scripts/gallery

dist: cross
	scripts/dist $(CROSS)

fuzz: native
	scripts/fuzz-all $(NATIVE) $(FUZZ_SECONDS)

soak: cross
	XELM_SOAK_CALLS=$(CALLS) scripts/wine-run $(CROSS)/tests/win32/test_soak.exe --gtest_filter=Soak.*; \
	  status=$$?; scripts/wine-run --stop $(CROSS); exit $$status

mutants: deps
	status=0; scripts/mutants $(MUTANTS_ARGS) || status=1; \
	  scripts/mutants --layer win32 $(MUTANTS32_ARGS) || status=1; exit $$status

clean:
	rm -rf build dist out
