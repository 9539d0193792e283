# The two commands of this project: `make run` and `make test`.
.PHONY: run test bench package setup build build-test clean

JOBS ?= $(shell nproc)
CMAKE_WERROR := $(if $(CI),ON,OFF)
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
		-DDUOBAHN_WERROR=$(CMAKE_WERROR) $(LAUNCHER) >/dev/null
	@cmake --build build-test -j $(JOBS)

test: build-test
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

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
