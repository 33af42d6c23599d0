# The user's entry points. `make run` and `make test` set up a fresh Debian machine first.
PRESET ?= default
JOBS ?= $(shell nproc)

.PHONY: run test test-windows package asan bench fuzz build deps format clean

deps:
	@scripts/install-deps

build: deps
	@cmake --preset $(PRESET) $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@build/$(PRESET)/bin/Ostrevan

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

# A Debian package of the installed files, left here for `apt install ./ostrevan_*.deb`.
package: build
	@cd build/$(PRESET) && cpack >/dev/null
	@cp build/$(PRESET)/ostrevan_*.deb .
	@ls ostrevan_*.deb

# The Windows build (MinGW-w64), its tests run under Wine in a fresh prefix; the Linux
# ostrevan-scan is built too, for the test that compares the two programs' reports.
test-windows: deps
	@scripts/install-deps windows
	@cmake --preset $(PRESET) $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS) --target ostrevan-scan
	@cmake --preset windows $(CMAKE_ARGS) \
		-DOSTREVAN_LINUX_SCAN=$(CURDIR)/build/$(PRESET)/bin/ostrevan-scan >/dev/null
	@cmake --build --preset windows -j $(JOBS)
	@scripts/test-windows $(JOBS)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

bench: build
	@scripts/run-benchmarks build/$(PRESET)/bin

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@scripts/run-fuzzers build/fuzz/bin $(or $(FUZZ_SECONDS),600)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
