# make run: build what the game needs and start it. make test: build and run every test.
JOBS ?= $(shell nproc)
# Tests at once in make test: one more than JOBS, as the end-to-end tests spend most of
# their time waiting on the programs' own clocks. The sanitized tests keep the cores busy and
# run JOBS at once.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) + 1 )))
BUILD := build
# make install / make uninstall: for this user by default; PREFIX=/usr/local for everyone.
PREFIX ?= $(HOME)/.local
CONFIGURE := cmake --preset default

.PHONY: all deps build build-run run test test-asan fuzz bench preview format clean install \
	uninstall deb

all: build

deps:
	@scripts/install-deps test

# Everything, tests and benchmarks included.
build: deps
	$(CONFIGURE) -DTC_BUILD_TESTS=ON -DTC_BUILD_BENCH=ON >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

# Only what the game, the player and the install rules need. A build tree made by make test
# keeps its tests configured; a fresh one leaves them out.
build-run:
	@scripts/install-deps run
	$(CONFIGURE) $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DTC_BUILD_TESTS=OFF -DTC_BUILD_BENCH=OFF) >/dev/null
	cmake --build $(BUILD) -j$(JOBS) --target tc_installable

# ARGS: songs or folders for tcplayer to play instead of the demo tune. LISTEN=1: tcplayer
# listens to what the desktop plays instead.
run: build-run
	LISTEN="$(LISTEN)" scripts/run-game $(ARGS)

install: build-run
	scripts/install-prefix install "$(PREFIX)" $(BUILD)

uninstall:
	scripts/install-prefix uninstall "$(PREFIX)"

# build/tonecrest_<version>_<arch>.deb, checked with lintian.
deb: build-run
	@scripts/install-deps package
	scripts/make-deb $(BUILD)

# A test that fails is run once more: the end-to-end tests drive real windows on a virtual
# display and can miss a deadline on a busy machine; a real fault fails both runs.
test: build
	cd $(BUILD) && ctest -j$(TEST_JOBS) --output-on-failure --repeat until-pass:2

# The install rules', desktop files', archive build's and make run's checks run in make test
# only: they test packaging and the build, whose programs the other tests run under the
# sanitizers anyway (the archive is built by the sanitized tcdata-build). So does the killed
# player's ride, which waits half a minute for the no-music notice: the sanitized game meets
# a player connecting in ConnectChainE2e's other case and the notice in MenuE2e's.
test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build build-asan -j$(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp ctest -j$(JOBS) --output-on-failure --repeat until-pass:2 -E '^(InstallE2e|DesktopFiles|GameArchiveBuild|MakeRunE2e)[.]|^ConnectChainE2e[.]APlayerKilled'

# The fuzz targets of fuzz/ (clang, ASan + UBSan, in build-fuzz), each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps fuzz
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

# The game's saved settings (Settings.dat in the game folder) survive a clean.
clean:
	@if [ -f $(BUILD)/dist/Settings.dat ]; then cp $(BUILD)/dist/Settings.dat .Settings.dat.keep; fi
	rm -rf $(BUILD) build-asan build-fuzz out
	@if [ -f .Settings.dat.keep ]; then mkdir -p $(BUILD)/dist && \
	  mv .Settings.dat.keep $(BUILD)/dist/Settings.dat && \
	  echo "Kept your settings in $(BUILD)/dist/Settings.dat"; fi
