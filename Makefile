# The two entry points for a fresh Debian machine:
#   make play   installs what is missing, builds the game and its data, starts the game
#   make test   installs what is missing, builds everything and runs the whole test suite
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build play test clean contact-sheet level-report

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

play: build
	@bash scripts/play.sh $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

contact-sheet: build
	@cmake --build $(BUILD_DIR) --target contact-sheet

level-report: build
	@cmake --build $(BUILD_DIR) --target level-report

clean:
	rm -rf $(BUILD_DIR)

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
