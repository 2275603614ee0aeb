# The two commands of the quick start: `make run` and `make test`.
# Both install what the build needs (scripts/install-deps) before building.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Which sets of Debian packages the build needs (scripts/install-deps), and
# whether it builds the tests.
DEPS ?= build
TESTS ?= OFF

PREFIX ?= /usr/local

.PHONY: all deps build run demo test sanitize bench fuzz install uninstall package clean \
	windows windows-package test-windows

all: build

deps:
	@scripts/install-deps $(DEPS)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNFOLD_BUILD_TESTS=$(TESTS) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The main job: the desktop app where there is a display, otherwise the
# command-line demo on a synthetic map.
run: build
	@scripts/run $(BUILD)

demo: build
	@scripts/demo $(BUILD)

test:
	@$(MAKE) --no-print-directory build DEPS="build test" TESTS=ON
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

# The manifest of the last `make install`: its own copy, as the tests'
# installs into temporary folders rewrite install_manifest.txt. It names the
# prefix and the folders the install created (scripts/install-manifest).
MANIFEST = $(BUILD)/make-install-manifest.txt

install: build
	@scripts/install-manifest before "$(DESTDIR)$(PREFIX)" $(BUILD)/folders-before-install
	cmake --install $(BUILD) --prefix $(PREFIX)
	@scripts/install-manifest record "$(PREFIX)" "$(DESTDIR)$(PREFIX)" $(BUILD)/install_manifest.txt \
	  $(BUILD)/folders-before-install > $(MANIFEST)
	@$(REFRESH_DESKTOP)

# Removes what the last `make install` installed, under the prefix it used,
# refreshes the desktop's caches there and removes the folders it created
# that are now empty.
uninstall:
	@[ -f $(MANIFEST) ] || { echo "make uninstall: nothing was installed from $(BUILD)" >&2; exit 1; }
	scripts/install-manifest remove $(MANIFEST)

# The Debian package, $(BUILD)/tarnfold_VERSION_ARCH.deb (the install rules
# build the man pages and icons first).
package: build
	cmake --build $(BUILD) --target package

# The tests again under AddressSanitizer and UndefinedBehaviorSanitizer, any
# finding fatal, in a build of their own without the desktop app: -O1 and
# line tables only (a build type of its own), so the build takes far less
# time and the findings still name their lines.
SANITIZE = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1 -g1
sanitize:
	@scripts/install-deps build test
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize -DTARNFOLD_BUILD_APP=OFF \
	  -DTARNFOLD_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS=$(SANITIZE)"
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS, built with clang in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps build test bench
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARNFOLD_BUILD_APP=OFF -DTARNFOLD_BUILD_BENCH=OFF -DTARNFOLD_FUZZ=ON \
	  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
	cmake --build build-fuzz -j $(JOBS) --target tarnfold_fuzzers
	tests/fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

# Speed and memory: the core loops, the peak memory of HSC sources of 10 MB
# and at the size limit, then compiles and recompiles of 256 and
# 384 MiB maps of both layouts against a durable copy of each, on the working
# file system and a loop-mounted XFS (about six minutes).
bench:
	@$(MAKE) --no-print-directory build DEPS="build bench" CMAKE_FLAGS="-DTARNFOLD_BUILD_BENCH=ON $(CMAKE_FLAGS)"
	$(BUILD)/bench/tarnfold_bench
	$(BUILD)/bench/tarnfold_hsc_memory
	bench/compile-vs-dd.sh $(BUILD) 7 256 384

# Windows: tarnfold-cli.exe, cross-built with MinGW-w64 (the "windows" preset
# in CMakePresets.json, into build-win), its tests under Wine, and the zip.
WIN_BUILD = build-win
windows:
	@scripts/install-deps windows
	scripts/windows-deps $(WIN_BUILD)/deps
	cmake --preset windows -DTARNFOLD_LINUX_BUILD=$(abspath $(BUILD))
	cmake --build --preset windows --target tarnfold-cli

# The byte comparison runs the Linux build's tarnfold-cli beside the .exe.
test-windows: windows
	@scripts/install-deps build test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNFOLD_BUILD_TESTS=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target tarnfold-cli make-demo-map
	cmake --build --preset windows
	ctest --preset windows

windows-package: windows
	scripts/windows-package $(WIN_BUILD)

clean:
	rm -rf $(BUILD) build-*
