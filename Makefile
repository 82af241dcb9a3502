# The two commands a newcomer needs: `make run` and `make test`.
BUILD := build
WIN_BUILD := build-win
JOBS := $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: all deps build run test bench clean windows test-windows

all: build

deps:
	@tools/setup.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_PREFIX_PATH=$(CURDIR)/.deps >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@tools/runWithArm.sh

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Speed figures, printed as ratios against their floors; not part of `make test`.
bench: build
	@$(BUILD)/bench/serialLatency
	@$(BUILD)/bench/fileStore
	@$(BUILD)/bench/playbackPace
	@TALLOMIR_BUILD=$(CURDIR)/$(BUILD) PYTHONDONTWRITEBYTECODE=1 python3 bench/panelCpu.py

# tallomir.exe cross-built with mingw-w64; its tests run it under Wine
# against the Linux simulator.
windows:
	@tools/setupWindows.sh
	@cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
		-DCMAKE_PREFIX_PATH=$(CURDIR)/.deps-win >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: windows build
	@tests/windows/run.sh

clean:
	rm -rf $(BUILD) $(WIN_BUILD)
