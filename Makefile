# Ottermoor: the two commands that matter are `make run` and `make test`.

NATIVE ?= build/native
WIN    ?= build/win
JOBS   ?= $(shell nproc)

.PHONY: all test run bench bootstrap native win test-native test-win clean

all: native win

bootstrap:
	@scripts/bootstrap

# Native tree: portable code and its tests with ASan and UBSan.
native: bootstrap
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

# Windows tree, cross-compiled with MinGW-w64.
win: bootstrap
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

test-win: win
	scripts/wine-tests $(WIN)

test: native win
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)
	scripts/wine-tests $(WIN)

run: win
	scripts/run $(WIN)

bench: native
	@if cmake --build $(NATIVE) --target om_bench -j$(JOBS) 2>/dev/null; then \
	  $(NATIVE)/om_bench; else echo "bench: no benchmarks yet"; fi

clean:
	rm -rf build
