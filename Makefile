# The README's commands. Everything builds into build/.
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@$(BUILD)/src/app/kesto-writer --demo $(ARGS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600

bench: build
	@cmake --build $(BUILD) --target benchmarks
	@bench/run-all $(BUILD)

clean:
	rm -rf $(BUILD)
