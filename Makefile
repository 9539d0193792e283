# The two commands of this project: `make run` and `make test`.
.PHONY: run test bench package fuzz fuzz-short setup build build-test clean

SHELL := /bin/bash
JOBS ?= $(shell nproc)
# ccache, when installed, shares compiled objects between checkouts side by side.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(abspath $(CURDIR)/..)
export CCACHE_NOHASHDIR := 1

setup:
	@bash scripts/setup

build: setup
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUOBAHN_TESTS=OFF $(LAUNCHER) >/dev/null
	@cmake --build build -j $(JOBS)

run: build
	cd examples && ../build/duobahn

build-test: setup
	@cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDUOBAHN_SANITIZE=ON \
		-DDUOBAHN_WERROR=ON $(LAUNCHER) >/dev/null
	@cmake --build build-test -j $(JOBS)

test: build-test
	@scripts/check-format
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz-short

# libFuzzer runs of the readers of outside data, starting from the inputs in fuzz/corpus/
# (new inputs go to build-fuzz/corpus/, never into the repository).
# `make test` runs each target FUZZ_SECONDS (short); by hand for longer:
#   make fuzz FUZZ_SECONDS=1800
FUZZ_SECONDS ?= 600
fuzz: setup
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DDUOBAHN_FUZZ=ON -DDUOBAHN_TESTS=OFF $(LAUNCHER) >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@for corpus in fuzz/corpus/*; do \
		name=$$(basename $$corpus); mkdir -p build-fuzz/corpus/$$name; \
		echo "== fuzz_$$name, $(FUZZ_SECONDS) s"; \
		LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan-suppressions.txt \
		build-fuzz/fuzz/fuzz_$$name -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
			-print_final_stats=1 build-fuzz/corpus/$$name $$corpus 2>&1 | \
			grep -E "^(stat::|==|SUMMARY|Done)" ; \
		test $${PIPESTATUS[0]} -eq 0 || exit 1; \
	done

fuzz-short:
	@if command -v clang++ >/dev/null; then $(MAKE) --no-print-directory fuzz FUZZ_SECONDS=10; fi

# The Debian package of the release build: build/duobahn_<version>_<arch>.deb.
package: build
	@cmake --build build --target package

bench: setup
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUOBAHN_TESTS=OFF $(LAUNCHER) >/dev/null
	@cmake --build build-bench -j $(JOBS) --target benchmarks
	@for b in build-bench/bench_*; do \
		if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; fi; \
	done

clean:
	rm -rf build build-test build-bench
