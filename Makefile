# The two commands a newcomer needs: `make run` and `make test`.
BUILD := build
JOBS := $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: all deps build run test bench clean

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

clean:
	rm -rf $(BUILD)
