# The two commands of the quick start: `make run` and `make test`.
# Both install what the build needs (scripts/install-deps) before building.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run demo test sanitize bench fuzz clean

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
	@$(MAKE) --no-print-directory sanitize

# The tests again under AddressSanitizer and UndefinedBehaviorSanitizer, any
# finding fatal, in a build of their own without the desktop app.
SANITIZE = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNFOLD_BUILD_APP=OFF \
	  -DTARNFOLD_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS=$(SANITIZE)"
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS, built with clang in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARNFOLD_BUILD_APP=OFF -DTARNFOLD_BUILD_BENCH=OFF -DTARNFOLD_FUZZ=ON \
	  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
	cmake --build build-fuzz -j $(JOBS) --target tarnfold_fuzzers
	tests/fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

# Speed and memory: the core loops, then a compile into a 256 MiB map against
# a durable copy of it.
bench: build
	$(BUILD)/bench/tarnfold_bench
	bench/compile-vs-dd.sh $(BUILD) 256 5

clean:
	rm -rf $(BUILD) build-*
