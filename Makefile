# make run: build everything and start the game. make test: build and run every test.
JOBS ?= $(shell nproc)
BUILD := build

.PHONY: all deps build run test test-asan fuzz bench preview format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset default >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

# ARGS: songs or folders for tcplayer to play instead of the demo tune. LISTEN=1: tcplayer
# listens to what the desktop plays instead.
run: build
	LISTEN="$(LISTEN)" scripts/run-game $(ARGS)

# A test that fails is run once more: the end-to-end tests drive real windows on a virtual
# display and can miss a deadline on a busy machine; a real fault fails both runs.
test: build
	cd $(BUILD) && ctest -j$(JOBS) --output-on-failure --repeat until-pass:2

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build build-asan -j$(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp ctest -j$(JOBS) --output-on-failure --repeat until-pass:2

# The fuzz targets of fuzz/ (clang, ASan + UBSan, in build-fuzz), each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build build-fuzz --target fuzz -j$(JOBS)
	scripts/run-fuzz $(FUZZ_SECONDS)

# The frame benchmark at 800 x 600, on a virtual display when there is none, and the
# player's own CPU use while playing.
bench: build
	scripts/run-bench
	$(BUILD)/bench/player_bench

# Renders the archive's models and sky to out/preview/ (a virtual display when there is none).
preview: build
	mkdir -p out/preview
	if [ -n "$${DISPLAY:-}" ]; then $(BUILD)/host/tcdata-preview $(BUILD)/dist/data/tcdata.d out/preview; \
	else xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD)/host/tcdata-preview $(BUILD)/dist/data/tcdata.d out/preview; fi

format:
	find platform shared game player plugin nowpane tests tools bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan build-fuzz out
