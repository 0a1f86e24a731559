# SPDX-License-Identifier: GPL-3.0-or-later
# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, start Tarvo
#   make test   install what is missing, build, run every test
BUILD_DIR ?= build
CMAKE_FLAGS ?= $(TARVO_CMAKE_FLAGS)

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

PREFIX ?= /usr/local

TSAN_DIR ?= build-tsan

.PHONY: all deps configure build run test tsan bench fuzz install uninstall format lint clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	@$(BUILD_DIR)/bin/tarvo

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j2

# The core's and the engine's tests, with ThreadSanitizer watching the threads
# the core starts. A crashing emulator is left out: the sanitizer's own
# handlers cannot run inside the emulator's sandbox.
tsan: deps
	@cmake -S . -B $(TSAN_DIR) -G Ninja $(CMAKE_FLAGS) -DTARVO_SANITIZE=thread -DTARVO_BUILD_BENCH=OFF
	@cmake --build $(TSAN_DIR) --target test_soundcore test_player
	@cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest --output-on-failure -j2 -L core -E HostileInputsEndWithAMessage

bench: build
	@bash scripts/install-deps.sh --bench
	@cmake --build $(BUILD_DIR) --target run-benchmarks
	@bench/desktop-cost.sh $(BUILD_DIR) 30

# Into PREFIX (and DESTDIR, when set, in front of it); uninstall removes it again.
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

uninstall:
	@cmake --build $(BUILD_DIR) --target uninstall

# Every reader's fuzz harness under ASan and UBSan, FUZZ_SECONDS each.
fuzz:
	@bash scripts/install-deps.sh --fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DTARVO_FUZZ=ON \
	  -DTARVO_SANITIZE=address,undefined -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF
	@cmake --build $(FUZZ_DIR) --target fuzz-all
	@scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The floors of the folders, and the code formatted as .clang-format says.
lint: deps
	@scripts/check-layers.py
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	@rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(TSAN_DIR)
