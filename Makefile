# The user's entry points. `make run` and `make test` set up a fresh Debian machine first.
PRESET ?= default
JOBS ?= $(shell nproc)

.PHONY: run test asan bench fuzz build deps format clean

deps:
	@scripts/install-deps

build: deps
	@cmake --preset $(PRESET) $(CMAKE_ARGS) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@build/$(PRESET)/bin/Ostrevan

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

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
