# zep: make run (install, build, write the default data, run the demo) and
# make test (install, build, run every test in the release, the sanitizer
# and the Clang generic-CPU builds).

BUILD      ?= build
ASAN_BUILD ?= build-asan
CLANG_BUILD ?= build-clang
JOBS       ?= $(shell nproc)

.PHONY: all deps build data run test test-release test-asan test-clang bench manifest clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

# Another compiler and a generic CPU (no AVX2): the same pictures.
$(CLANG_BUILD)/build.ninja:
	cmake -S . -B $(CLANG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
		-DZEP_NATIVE=OFF

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEP_SANITIZE=ON

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

test: test-release test-asan test-clang

bench: build
	$(BUILD)/zep-bench

# Rewrites the frame manifest from the default data set, after a deliberate
# change to the pictures or to the data generator.
manifest: build
	$(BUILD)/zep-data $(BUILD)/data
	$(BUILD)/zep-render --data $(BUILD)/data --hashes tests/golden/frames-60fps.txt

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(CLANG_BUILD)
