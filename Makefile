# The two commands a newcomer needs: `make run` and `make test`. Each goal
# installs only what it needs: `make` and `make run` the compiler and the
# libraries, `make test` the test tools too, `make bench` Google Benchmark.
BUILD := build
WIN_BUILD := build-win
JOBS := $(shell nproc)
PREFIX ?= /usr/local
MAKEFLAGS += --no-print-directory

# cmake's configure step with extra options; the build keeps options it was
# given before (a `make` after `make test` builds the tests too).
configure = cmake -S . -B $(BUILD) -DCMAKE_PREFIX_PATH=$(CURDIR)/.deps $(1) >/dev/null
compile = cmake --build $(BUILD) -j $(JOBS)

.PHONY: all deps build run test bench install package clean windows test-windows

all: build

deps:
	@tools/setup.sh build

build: deps
	@$(call configure)
	@$(compile)

run: build
	@tools/runWithArm.sh

test:
	@tools/setup.sh test
	@$(call configure,-DBUILD_TESTING=ON)
	@$(compile)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Speed figures, printed as ratios against their floors; not part of `make test`.
bench:
	@tools/setup.sh bench
	@$(call configure,-DTALLOMIR_BENCHMARKS=ON)
	@$(compile)
	@$(BUILD)/bench/serialLatency
	@$(BUILD)/bench/fileStore
	@$(BUILD)/bench/playbackPace
	@TALLOMIR_BUILD=$(CURDIR)/$(BUILD) PYTHONDONTWRITEBYTECODE=1 python3 bench/panelCpu.py

# The panel, the simulator and the menu entry under $(PREFIX).
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same, its dependencies computed by dpkg-shlibdeps.
package: build
	@tools/setup.sh package
	@cd $(BUILD) && cpack -G DEB

# tallomir.exe cross-built with mingw-w64, and build-win/tallomir-windows.zip;
# its tests run it under Wine against the Linux simulator.
WIN_TESTING ?= OFF
windows:
	@tools/setupWindows.sh
	@cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
		-DCMAKE_PREFIX_PATH=$(CURDIR)/.deps-win -DBUILD_TESTING=$(WIN_TESTING) >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: build
	@$(MAKE) windows WIN_TESTING=ON
	@tests/windows/run.sh

clean:
	rm -rf $(BUILD) $(WIN_BUILD)
