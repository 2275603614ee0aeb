# The two commands of the quick start: `make run` and `make test`.
# Both install what the build needs (scripts/install-deps) before building.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run demo test bench fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The main job: the desktop app where there is a display, otherwise the
# command-line demo on a synthetic map.
run: build
	@scripts/run $(BUILD)

demo: build
	@scripts/demo $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Speed and memory: the core loops, then a compile into a 256 MiB map against
# a durable copy of it.
bench: build
	$(BUILD)/bench/tarnfold_bench
	bench/compile-vs-dd.sh $(BUILD) 256 5

clean:
	rm -rf $(BUILD) build-*
