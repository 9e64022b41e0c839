# Ottermoor: the two commands that matter are `make run` and `make test`.

NATIVE ?= build/native
WIN    ?= build/win
FUZZ   ?= build/fuzz
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 600

.PHONY: all test run bench bench-wine fuzz bootstrap native win test-native test-win test-exchange clean

all: native win

bootstrap:
	@scripts/bootstrap

# Native tree: portable code and its tests with ASan and UBSan.
native: bootstrap
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

# Windows tree, cross-compiled with MinGW-w64.
win: bootstrap
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

# The data folder exchange (tests/store/exchange_folder.h): the native tests
# write a data folder below $(EXCHANGE), the Windows tests write the same
# under Wine and compare the two, and test-exchange reads Wine's natively.
EXCHANGE      = $(abspath $(NATIVE))/exchange
NATIVE_TESTS  = OM_EXCHANGE_DIR=$(EXCHANGE) ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)
WIN_TESTS     = OM_EXCHANGE_DIR=$(EXCHANGE) scripts/wine-tests $(WIN)
EXCHANGE_TEST = test -d $(EXCHANGE)/wine || { echo "test-exchange: no data folder from Wine in $(EXCHANGE)" >&2; exit 1; }; \
	OM_EXCHANGE_DIR=$(EXCHANGE) $(NATIVE)/om_tests --gtest_filter='DataFolderExchange.TheWineFolderReadsNatively'

# A native run starts the exchange afresh: a Wine folder from an older build
# is not compared with the new native one.
test-native: native
	rm -rf $(EXCHANGE)
	$(NATIVE_TESTS)

test-win: win
	$(WIN_TESTS)

test-exchange: native
	$(EXCHANGE_TEST)

test: native win
	rm -rf $(EXCHANGE)
	$(NATIVE_TESTS)
	$(WIN_TESTS)
	$(EXCHANGE_TEST)

run: win
	scripts/run $(WIN)

# Benchmarks in a Release tree of their own, without sanitizers.
BENCH ?= build/bench
bench: bootstrap
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DOM_BENCH=ON >/dev/null
	@cmake --build $(BENCH) --target om_bench -j$(JOBS)
	$(BENCH)/om_bench $(BENCH_ARGS)

# The benchmarks of the real program under Wine, never part of the tests:
# the clip list (start-up with 100,000 clips, memory, sorting by each
# column) and a find over 100 collections of 1,000 clips (search time,
# progress, responsiveness, Esc). WINE_BENCH=list or WINE_BENCH=find runs
# one of them; BENCH_ARGS go to each.
WINE_BENCH ?= all
bench-wine: bootstrap
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) --target $(if $(filter all,$(WINE_BENCH)),om_list_bench om_find_bench,om_$(WINE_BENCH)_bench) -j$(JOBS)
	scripts/bench-wine $(WIN) $(WINE_BENCH) $(BENCH_ARGS)

# Fuzzing, never part of the tests: the fuzz targets built with clang and
# libFuzzer, each run for FUZZ_SECONDS (logs, corpus and crashes in $(FUZZ));
# FUZZ_TARGETS="picture_layout ..." runs only those.
FUZZ_TARGETS ?=
fuzz: bootstrap
	@cmake -S . -B $(FUZZ) -DOM_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)
	scripts/fuzz $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf build
