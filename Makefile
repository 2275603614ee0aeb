# The two commands of the quick start: `make run` and `make test`.
# Both install what the build needs (scripts/install-deps) before building.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

PREFIX ?= /usr/local

.PHONY: all deps build run demo test sanitize bench fuzz install uninstall package clean

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

# Installs into PREFIX (under DESTDIR, when given). Installed straight onto
# this machine, the desktop's caches are refreshed so the map type, the icon
# and the menu entry show up (or go) at once; a package manager does that itself.
REFRESH_DESKTOP = [ -n "$(DESTDIR)" ] || for step in \
	  "update-mime-database $(PREFIX)/share/mime" \
	  "update-desktop-database -q $(PREFIX)/share/applications" \
	  "gtk-update-icon-cache -qtf $(PREFIX)/share/icons/hicolor"; do \
	  ! command -v $${step%% *} >/dev/null || $$step; done

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/make-install-manifest.txt
	@$(REFRESH_DESKTOP)

# Removes what the last `make install` installed. (Its own copy of the list:
# the tests' installs into temporary folders rewrite install_manifest.txt.)
uninstall:
	xargs -rd '\n' rm -f -- < $(BUILD)/make-install-manifest.txt
	@$(REFRESH_DESKTOP)

# The Debian package, $(BUILD)/tarnfold_VERSION_ARCH.deb.
package: build
	cmake --build $(BUILD) --target package

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

# Speed and memory: the core loops, the peak memory of HSC sources of 10 MB
# and at the size limit, then compiles and recompiles of 256 and
# 384 MiB maps of both layouts against a durable copy of each, on the working
# file system and a loop-mounted XFS (about six minutes).
bench: build
	$(BUILD)/bench/tarnfold_bench
	$(BUILD)/bench/tarnfold_hsc_memory
	bench/compile-vs-dd.sh $(BUILD) 7 256 384

clean:
	rm -rf $(BUILD) build-*
