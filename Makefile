# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep: make run (install, build, write the default data, run the demo),
# make test (install, build, run every test in the release, the sanitizer
# and the Clang generic-CPU builds, in the browser build and the Windows
# programs under wine, and the Linux downloads) and make windows (the Windows
# zip, build-windows/zep-VERSION-windows-x86_64.zip).

BUILD      ?= build
ASAN_BUILD ?= build-asan
CLANG_BUILD ?= build-clang
WIN_BUILD  ?= build-windows
LINUX_BUILD ?= build-linux
JOBS       ?= $(shell nproc)
WEB_BUILD  ?= build-web
DEB_BUILD  ?= build-deb
DIST       ?= dist
VERSION    := $(shell ./scripts/version.sh version)
# Release files carry the last commit's time, not the time they were made.
SOURCE_DATE_EPOCH ?= $(shell ./scripts/version.sh epoch)
export SOURCE_DATE_EPOCH
# The libraries the Windows build and the Linux downloads link, built by
# scripts/build-deps.sh once per recipe into a cache outside the tree, so that
# every clone and every build folder shares them (make clean keeps them).
ZEP_DEPS_CACHE   ?= $(or $(XDG_CACHE_HOME),$(HOME)/.cache)/zep/deps
WIN_DEPS         ?= $(ZEP_DEPS_CACHE)/windows-x86_64
LINUX_X86_DEPS   ?= $(ZEP_DEPS_CACHE)/linux-x86_64
LINUX_ARM64_DEPS ?= $(ZEP_DEPS_CACHE)/linux-arm64
WIN_ENV           = ZEP_WINDOWS_DEPS="$(WIN_DEPS)"
# The data folder the site is built for; empty: the default set zep-data writes.
WEB_DATA   ?=
# Debian's emscripten finds its acorn there when node is not Debian's own.
WEB_ENV     = NODE_PATH=/usr/share/nodejs
# A build folder as an absolute path, quoted where used: the tree's own
# folder may have spaces in its name, which make's abspath would split.
full        = $(if $(filter /%,$(1)),$(1),$(CURDIR)/$(1))

.PHONY: all install deps deps-windows deps-linux deps-all caches build-asan build-clang linux linux-x86_64 linux-arm64 test-linux build data run test test-release test-asan test-clang test-web \
	test-windows fuzz bench bench-video bench-web manifest web web-npm serve windows deb test-deb release release-check clean

# A plain make only builds: packages are installed by make deps (and
# deps-windows, deps-linux), and by make run and make test, which start with
# them.
all: build

deps:
	@./scripts/install-deps.sh

deps-windows:
	@./scripts/install-deps.sh windows

deps-linux:
	@./scripts/install-deps.sh linux

# Every group at once: one apt run instead of three.
deps-all:
	@./scripts/install-deps.sh windows linux

# What a first run makes once and later runs find in their caches, made side
# by side before the tests start: first the packages the libraries are built
# with, then at once the libraries of the Windows build and the two Linux
# downloads, which keep the two cores compiling, and the rest of the
# packages, the clean Debian systems and the browser tests' npm package,
# which mostly wait on the disk and the network meanwhile. Each is a no-op
# once made. The systems need root, as the tests that use them do.
CACHES = deps-then-npm libs-windows-x86_64 libs-linux-x86_64 libs-linux-arm64 system-bookworm system-trixie \
	system-bookworm-build
.PHONY: $(CACHES)
caches:
	@./scripts/install-deps.sh caches
	@echo "zep: making what is not cached yet: $(CACHES) (each says what it did when it ends)"
	@$(MAKE) --no-print-directory -j $(words $(CACHES)) --output-sync=target $(CACHES)

# npm is among the rest of the packages.
deps-then-npm: deps-all
	@$(MAKE) --no-print-directory web-npm

libs-windows-x86_64:
	JOBS=$(JOBS) ./scripts/build-deps.sh windows-x86_64 "$(WIN_DEPS)"

libs-linux-x86_64:
	JOBS=$(JOBS) ./scripts/build-deps.sh linux-x86_64 "$(LINUX_X86_DEPS)"

libs-linux-arm64:
	JOBS=$(JOBS) ./scripts/build-deps.sh linux-arm64 "$(LINUX_ARM64_DEPS)"

system-bookworm system-trixie system-bookworm-build: system-%:
	@if [ "$$(id -u)" -eq 0 ]; then ./scripts/test-system.sh $*; \
	else echo "zep: not root: the clean $* system is left to its tests"; fi

# Configured once; a folder configured by hand (cmake -B build, any
# generator) is built as it is.
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

# Another compiler and a generic CPU (the baseline and the AVX2 copies of the
# scenes, picked at start-up): the same pictures.
$(CLANG_BUILD)/build.ninja:
	cmake -S . -B $(CLANG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
		-DZEP_NATIVE=OFF

# The sanitizer build is the one tuned for this machine's own CPU (the
# native copy of the scenes), so that make test checks that copy too: its
# golden pictures and the moments compared with the manifest. The whole run
# against the manifest is the baseline and AVX2 copies', in the others.
$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEP_SANITIZE=ON -DZEP_NATIVE=ON

# SDL2, libopenmpt and libpng for Windows are built once, into $(WIN_DEPS),
# before the first configure finds them there.
$(WIN_BUILD)/build.ninja:
	JOBS=$(JOBS) ./scripts/build-deps.sh windows-x86_64 "$(WIN_DEPS)"
	$(WIN_ENV) cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DZEP_HOST_DATAGEN="$(call full,$(BUILD))/zep-data"

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The build installed under PREFIX (zep, zep-render, the data set, the menu
# entry, icons, metainfo and man pages), staged under DESTDIR when set.
PREFIX  ?= /usr/local
DESTDIR ?=
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

data: build
	$(BUILD)/zep-data $(BUILD)/data

run: deps data
	cd $(BUILD)/data && ../zep

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan: $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

build-clang: $(CLANG_BUILD)/build.ninja
	cmake --build $(CLANG_BUILD) -j $(JOBS)

test-clang: build-clang
	cd $(CLANG_BUILD) && ctest --output-on-failure -j $(JOBS)

# The zip's data set is written by the zep-data of the Linux build.
windows: $(BUILD)/CMakeCache.txt $(WIN_BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zep-data
	JOBS=$(JOBS) ./scripts/build-deps.sh windows-x86_64 "$(WIN_DEPS)"
	$(WIN_ENV) cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The Linux downloads, $(LINUX_BUILD)-ARCH/zep-VERSION-linux-ARCH.tar.gz: a
# generic-CPU build per architecture with the libraries it brings or links
# in built once into $(ZEP_DEPS_CACHE)/linux-ARCH. ARM64 is cross-built; its
# data set is written by the x86-64 build's zep-data.
LINUX_CONFIG = -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEP_NATIVE=OFF -DZEP_TESTS=OFF \
	-DZEP_DISTRIBUTION=download
LINUX_ARM64_ENV = ZEP_LINUX_ARM64_DEPS="$(LINUX_ARM64_DEPS)"

$(LINUX_BUILD)-x86_64/build.ninja:
	JOBS=$(JOBS) ./scripts/build-deps.sh linux-x86_64 "$(LINUX_X86_DEPS)"
	cmake -S . -B $(LINUX_BUILD)-x86_64 $(LINUX_CONFIG) -DZEP_DEPS="$(LINUX_X86_DEPS)"

$(LINUX_BUILD)-arm64/build.ninja:
	JOBS=$(JOBS) ./scripts/build-deps.sh linux-arm64 "$(LINUX_ARM64_DEPS)"
	$(LINUX_ARM64_ENV) cmake -S . -B $(LINUX_BUILD)-arm64 $(LINUX_CONFIG) \
		-DCMAKE_TOOLCHAIN_FILE=cmake/linux-aarch64.cmake \
		-DZEP_DATAGEN=OFF -DZEP_HOST_DATAGEN="$(call full,$(LINUX_BUILD)-x86_64)/zep-data"

# The tarballs are packed anew each time: their times are the last commit's.
linux-x86_64: $(LINUX_BUILD)-x86_64/build.ninja
	JOBS=$(JOBS) ./scripts/build-deps.sh linux-x86_64 "$(LINUX_X86_DEPS)"
	rm -f $(LINUX_BUILD)-x86_64/zep-*-linux-x86_64.tar.gz
	cmake --build $(LINUX_BUILD)-x86_64 -j $(JOBS)
	mkdir -p "$(DIST)" && cp $(LINUX_BUILD)-x86_64/zep-$(VERSION)-linux-x86_64.tar.gz "$(DIST)/"

linux-arm64: linux-x86_64 $(LINUX_BUILD)-arm64/build.ninja
	JOBS=$(JOBS) ./scripts/build-deps.sh linux-arm64 "$(LINUX_ARM64_DEPS)"
	rm -f $(LINUX_BUILD)-arm64/zep-*-linux-arm64.tar.gz
	$(LINUX_ARM64_ENV) cmake --build $(LINUX_BUILD)-arm64 -j $(JOBS)

linux: linux-x86_64 linux-arm64

test-linux: linux
	$(TEST_LINUX_X86_64)
	$(TEST_LINUX_ARM64)
TEST_LINUX_X86_64 = cd $(LINUX_BUILD)-x86_64 && ctest --output-on-failure --no-tests=error -j $(JOBS)
TEST_LINUX_ARM64 = cd $(LINUX_BUILD)-arm64 && $(LINUX_ARM64_ENV) ctest --output-on-failure --no-tests=error -j $(JOBS)

# The browser build: the site in $(WEB_BUILD)/site, made with the native
# build's zep-data and music renderer.
web: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target zep-data zep-music-wav zep-render
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DZEP_HOST_BUILD="$(call full,$(BUILD))" -DZEP_WEB_DATA="$(if $(WEB_DATA),$(call full,$(WEB_DATA)))" >/dev/null
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	@echo "zep: the site is in $(WEB_BUILD)/site"

serve: web
	@echo "zep: serving $(WEB_BUILD)/site at http://127.0.0.1:8000/ (Ctrl-C stops)"
	cd $(WEB_BUILD)/site && python3 -m http.server 8000 --bind 127.0.0.1

# The browser tests' one npm package, pinned by web/package-lock.json; it
# drives Debian's Chromium and downloads no browser.
web-npm:
	mkdir -p $(WEB_BUILD)/npm
	cp web/package.json web/package-lock.json $(WEB_BUILD)/npm/
	cd $(WEB_BUILD)/npm && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error

test-web: web web-npm
	cd $(WEB_BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# The Debian package: lintian on it and on its source, installed, run and
# purged on clean Debian 12 and 13 systems (made once with debootstrap, then
# cached), and its autopkgtest.
test-deb: deb
	$(TEST_DEB)
TEST_DEB = cd $(DEB_BUILD) && ctest --output-on-failure --no-tests=error

# A second build of release files, from a copy of the tree elsewhere under
# another umask, compared byte for byte with the first. make test checks the
# files built on Linux; RELEASE_CHECK=release checks every download.
# The second build takes its libraries from this tree's library folders.
RELEASE_CHECK ?= deb linux-x86_64
release-check: $(RELEASE_CHECK)
	$(CHECK_RELEASE)
CHECK_RELEASE = ./scripts/release-check.sh "$(DIST)" $(RELEASE_CHECK) "WIN_DEPS=$(WIN_DEPS)" \
	"LINUX_X86_DEPS=$(LINUX_X86_DEPS)" "LINUX_ARM64_DEPS=$(LINUX_ARM64_DEPS)"

# make test: the stages test-asan, test-clang, test-web, test-windows,
# test-linux, test-release, test-deb and release-check, after what a first
# run makes once. Little waits on what it does not need:
#   - the packages that build the native builds and the bundled libraries
#     install first (install-deps.sh caches); then, side by side, the rest
#     of the packages and the npm package, the clean Debian systems, and
#     the native, sanitizer, Clang and browser builds compile;
#   - the bundled libraries build from the start at the lowest CPU priority
#     (SCHED_IDLE), in the time the rest leaves idle (the tests that wait on
#     a browser, wine or the network), until the stage that links them waits
#     for them;
#   - the stages run one at a time, except at the end: the ARM64 download's
#     tests, the package's tests and the release check side by side, once
#     the package is built.
# Each lane's output that is not a stage's goes to $(TEST_LOGS)/NAME.log,
# with a line when it ends; each runs in a process group of its own
# (scripts/lane.sh), so that a signal to make ends all of it. On a machine
# where everything is made already, the lanes end at once.
TEST_LOGS ?= $(call full,$(BUILD))/test-logs
IDLE = $(shell chrt --idle 0 true 2>/dev/null && echo chrt --idle 0 || echo nice -n 19)
# lane NAME COMMAND: a side lane that makes caches, quiet but for its end.
lane = ./scripts/lane.sh quiet $(1) "$(TEST_LOGS)/$(1).log" $(2)
# whole NAME COMMAND: a stage beside others, its output in one piece.
whole = ./scripts/lane.sh whole $(1) "$(TEST_LOGS)/$(1).log" sh -c '$(2)'
LIB_LANES = lane-libs-windows-x86_64 lane-libs-linux-x86_64 lane-libs-linux-arm64
TEST_LANES = lane-packages lane-systems lane-native-builds lane-builds $(LIB_LANES) stage-asan stage-clang stage-web stage-windows stage-linux \
	stage-release stage-package stage-linux-arm64 stage-deb stage-release-check
.PHONY: test-lanes $(TEST_LANES)

test:
	@./scripts/install-deps.sh caches
	@$(MAKE) --no-print-directory -j $(words $(TEST_LANES)) test-lanes

test-lanes: stage-linux-arm64 stage-deb stage-release-check

# Where apt needs sudo (not as root), sudo may need the terminal.
lane-packages:
	@./scripts/lane.sh $(if $(filter 0,$(shell id -u)),,--terminal) quiet packages \
		"$(TEST_LOGS)/packages.log" $(MAKE) --no-print-directory deps-then-npm
lane-systems:
	@$(call lane,systems,$(MAKE) --no-print-directory -j 3 system-bookworm system-trixie system-bookworm-build)
# The release and sanitizer builds need only the first packages; Clang and
# the browser's compiler come with the rest.
lane-builds: lane-packages lane-native-builds
	@$(call lane,builds,$(MAKE) --no-print-directory build-clang web)
lane-native-builds:
	@$(call lane,native-builds,$(MAKE) --no-print-directory build build-asan)
$(LIB_LANES): lane-libs-%:
	@$(call lane,libs-$*,$(IDLE) $(MAKE) --no-print-directory libs-$*)

# The release build's tests come after the downloads': its desktop tests
# measure timing and listen for gaps in the music, alone on the machine, and
# a library compiling beside them, even at idle priority, is heard and seen.
stage-asan: lane-packages lane-systems lane-builds
	@$(MAKE) --no-print-directory test-asan
stage-clang: stage-asan
	@$(MAKE) --no-print-directory test-clang
stage-web: stage-clang
	@$(MAKE) --no-print-directory test-web
stage-windows: stage-web lane-libs-windows-x86_64
	@$(MAKE) --no-print-directory test-windows
stage-linux: stage-windows lane-libs-linux-x86_64 lane-libs-linux-arm64
	@$(MAKE) --no-print-directory linux
	$(TEST_LINUX_X86_64)
stage-release: stage-linux
	@$(MAKE) --no-print-directory test-release
stage-package: stage-release
	@$(MAKE) --no-print-directory deb
# Side by side: qemu's one busy core, the package's tests (mostly apt
# and the clean systems) and the release check's second build.
stage-linux-arm64: stage-package
	@$(call whole,test-linux-arm64,$(TEST_LINUX_ARM64))
stage-deb: stage-package
	@$(call whole,test-deb,$(TEST_DEB))
stage-release-check: stage-package
	@$(call whole,release-check,$(CHECK_RELEASE))

# The libFuzzer targets (in the Clang build) for FUZZ_SECONDS each; what they
# find is kept under $(CLANG_BUILD)/test-output/fuzz/long.
FUZZ_SECONDS ?= 300
fuzz: $(CLANG_BUILD)/build.ninja
	cmake -S . -B $(CLANG_BUILD) -DZEP_FUZZ=ON -DZEP_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(CLANG_BUILD) -j $(JOBS) --target fuzz

# The video exports (they need ffmpeg and take minutes) are left to
# bench-video.
bench: build
	$(BUILD)/zep-bench --benchmark_filter=-BM_Video

# Seconds per 1,000 frames of --video for each quality preset (median of 3).
bench-video: build
	$(BUILD)/zep-bench --benchmark_filter=BM_Video --benchmark_report_aggregates_only=true

# Frame times in headless Chromium next to the native ones, the check run's
# time, the real-time frame rate and the page's transfer size.
bench-web: web web-npm
	cmake --build $(BUILD) -j $(JOBS) --target zep-bench
	cd $(WEB_BUILD)/npm && node "$(CURDIR)/web/tests/bench.mjs" "$(call full,$(WEB_BUILD))/site" \
		"$(call full,$(BUILD))/zep-bench"

# Rewrites the frame manifest from the default data set, after a deliberate
# change to the pictures or to the data generator.
manifest: build
	$(BUILD)/zep-data $(BUILD)/data
	$(BUILD)/zep-render --data $(BUILD)/data --hashes tests/golden/frames-60fps.txt

# The Debian package, $(DIST)/zep_VERSION_ARCH.deb: dpkg-buildpackage on
# debian/ in a clean Debian 12 build system (as root), with
# DEB_BUILD_OPTIONS=nocheck unless set, as make test runs the suite itself.
deb:
	JOBS=$(JOBS) ./scripts/make-deb.sh $(DEB_BUILD) "$(DIST)"

# Every download, versioned, into $(DIST), with SHA256SUMS over them.
release: deps deps-windows deps-linux
	rm -rf "$(DIST)" && mkdir -p "$(DIST)"
	$(MAKE) deb windows web linux
	cp $(LINUX_BUILD)-x86_64/zep-$(VERSION)-linux-x86_64.tar.gz \
		$(LINUX_BUILD)-arm64/zep-$(VERSION)-linux-arm64.tar.gz "$(DIST)/"
	cp $(WIN_BUILD)/zep-$(VERSION)-windows-x86_64.zip $(WEB_BUILD)/zep-$(VERSION)-web.zip "$(DIST)/"
	cd "$(DIST)" && sha256sum $$(ls | LC_ALL=C sort | grep -v '^SHA256SUMS$$') >SHA256SUMS
	@cat "$(DIST)/SHA256SUMS"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(CLANG_BUILD) $(WEB_BUILD) $(WIN_BUILD) $(DEB_BUILD) $(DIST) \
		$(LINUX_BUILD)-x86_64 $(LINUX_BUILD)-arm64
