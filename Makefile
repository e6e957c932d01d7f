# zep: make run (install, build, write the default data, run the demo),
# make test (install, build, run every test in the release, the sanitizer
# and the Clang generic-CPU builds and the Windows programs under wine) and
# make windows (the Windows zip, build-windows/zep-windows.zip).

BUILD      ?= build
ASAN_BUILD ?= build-asan
CLANG_BUILD ?= build-clang
WIN_BUILD  ?= build-windows
JOBS       ?= $(shell nproc)

.PHONY: all deps deps-windows build data run test test-release test-asan test-clang \
	test-windows windows bench manifest clean

all: build

deps:
	@./scripts/install-deps.sh

deps-windows:
	@./scripts/install-deps.sh windows

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

# Another compiler and a generic CPU (no AVX2): the same pictures.
$(CLANG_BUILD)/build.ninja:
	cmake -S . -B $(CLANG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
		-DZEP_NATIVE=OFF

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEP_SANITIZE=ON

# SDL2, libopenmpt and libpng for Windows are built once, into
# $(WIN_BUILD)/deps, before the first configure finds them there.
$(WIN_BUILD)/build.ninja:
	JOBS=$(JOBS) ./scripts/windows-deps.sh $(WIN_BUILD)/deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DZEP_HOST_DATAGEN=$(abspath $(BUILD))/zep-data

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

data: build
	$(BUILD)/zep-data $(BUILD)/data

run: data
	cd $(BUILD)/data && ../zep

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

test-clang: deps $(CLANG_BUILD)/build.ninja
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	cd $(CLANG_BUILD) && ctest --output-on-failure -j $(JOBS)

# The zip's data set is written by the zep-data of the Linux build.
windows: deps deps-windows $(BUILD)/build.ninja $(WIN_BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zep-data
	JOBS=$(JOBS) ./scripts/windows-deps.sh $(WIN_BUILD)/deps
	cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-release test-asan test-clang test-windows

bench: build
	$(BUILD)/zep-bench

# Rewrites the frame manifest from the default data set, after a deliberate
# change to the pictures or to the data generator.
manifest: build
	$(BUILD)/zep-data $(BUILD)/data
	$(BUILD)/zep-render --data $(BUILD)/data --hashes tests/golden/frames-60fps.txt

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(CLANG_BUILD) $(WIN_BUILD)
