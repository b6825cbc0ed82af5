# The two entry points for a fresh Debian machine:
#   make play   installs what is missing, builds the game and its data, starts the game
#   make test   installs what is missing, builds everything and runs the whole test suite
#   make deb    builds the Debian package build/tavrolith_<version>_<arch>.deb
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build play test clean contact-sheet level-report deb bench

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

play: build
	@bash scripts/play.sh $(BUILD_DIR)

test: build windows
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	@cd $(WIN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

contact-sheet: build
	@cmake --build $(BUILD_DIR) --target contact-sheet

level-report: build
	@cmake --build $(BUILD_DIR) --target level-report

# The Debian package, made by CPack from the install rules (cmake/install.cmake).
deb: build
	@cd $(BUILD_DIR) && cpack -G DEB

# Benchmarks, never part of `make test`: the game's per-frame work and the texture
# lookups (Google Benchmark), then the real game under Xvfb (scripts/bench-xvfb.sh).
bench: build
	@$(BUILD_DIR)/bench/game_bench --benchmark_min_time=0.2
	@$(BUILD_DIR)/bench/frame_bench --benchmark_min_time=0.2
	@$(BUILD_DIR)/bench/batch_bench --benchmark_min_time=0.2
	@bash scripts/bench-xvfb.sh $(BUILD_DIR)/game

clean:
	rm -rf $(BUILD_DIR)

# The Windows game, cross-built with mingw-w64: build-win/game/Tavrolith.exe with the
# native build's Data tree, build-win/Tavrolith-win64.zip, and the Windows tests.
WIN_BUILD_DIR ?= build-win
.PHONY: windows
windows: build
	@cmake -S . -B $(WIN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DTAV_NATIVE_BUILD_DIR=$(abspath $(BUILD_DIR))
	@cmake --build $(WIN_BUILD_DIR) -j $(JOBS)

# Reliability: `make fuzz` runs every file reader's libFuzzer target for FUZZ_SECONDS
# each (clang-14 with the sanitizers, in build-fuzz/, corpora kept there out of git).
# `make soak` plays the real game headless for SOAK_GAME_SECONDS of game time, then
# the real binary under Xvfb for SOAK_WALL_SECONDS, and reports memory and errors.
FUZZ_SECONDS ?= 60
SOAK_GAME_SECONDS ?= 3600
SOAK_WALL_SECONDS ?= 600
.PHONY: fuzz soak
fuzz: deps
	@bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

soak: build
	@bash scripts/soak.sh $(BUILD_DIR) $(SOAK_GAME_SECONDS) $(SOAK_WALL_SECONDS)
