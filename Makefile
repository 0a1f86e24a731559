# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, start Tarvo
#   make test   install what is missing, build, run every test
BUILD_DIR ?= build
CMAKE_FLAGS ?= $(TARVO_CMAKE_FLAGS)

.PHONY: all deps configure build run test bench format clean

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

bench: build
	@bash scripts/install-deps.sh --bench
	@cmake --build $(BUILD_DIR) --target run-benchmarks
	@bench/desktop-cost.sh $(BUILD_DIR) 60

format:
	@find src soundcore tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
