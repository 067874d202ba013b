# One entry for everything: `make demo` and `make test` set up a new Debian
# machine themselves (packages through scripts/install-deps.sh).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64
KIT := build/kit
FUZZ := build/fuzz
BENCH := build/bench

.PHONY: all deps build native kit fuzz bench win32 win64 dist demo test test-native test-windows test-e2e clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@$(MAKE) --no-print-directory dist

# The shipped artefacts: dist/quorvex.exe, dist/zor.dll (32-bit), their
# 64-bit twins in dist/x64/, and the authoring kit in dist/kit/.
dist: native kit win32 win64
	@mkdir -p dist/x64 dist/kit
	@cp $(WIN32)/src/quorvex.exe dist/quorvex.exe
	@cp $(WIN64)/src/quorvex.exe dist/x64/quorvex.exe
	@cp $(WIN32)/src/archive/zor.dll dist/zor.dll
	@cp $(WIN64)/src/archive/zor.dll dist/x64/zor.dll
	@cp $(KIT)/bin/quorvex-kit dist/kit/quorvex-kit

native:
	@cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@ninja -C $(NATIVE) -j $(JOBS)

# The kit that dist/ ships: optimised, without the sanitizers of the test build.
kit:
	@cmake -S . -B $(KIT) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_SANITIZE=OFF >/dev/null
	@ninja -C $(KIT) -j $(JOBS) quorvex-kit

# libFuzzer targets (clang), one per parser of outside input.
fuzz:
	@cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@ninja -C $(FUZZ) -j $(JOBS)

# Extraction speed of the 7z reader against 7zz, optimised and unsanitized;
# the payload and archives are kept in build/bench/work between runs.
bench:
	@cmake -S . -B $(BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_SANITIZE=OFF >/dev/null
	@ninja -C $(BENCH) -j $(JOBS) extract_bench
	@$(BENCH)/bench/extract_bench $(BENCH)/work

win32:
	@cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@ninja -C $(WIN32) -j $(JOBS)

win64:
	@cmake -S . -B $(WIN64) -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@ninja -C $(WIN64) -j $(JOBS)

demo: build
	@scripts/demo.sh
	@scripts/demo-wizard.sh

test: build
	@$(MAKE) --no-print-directory fuzz
	@scripts/run-tests.sh

test-native: build
	@scripts/run-tests.sh native

test-windows: build
	@scripts/run-tests.sh windows

test-e2e: build
	@scripts/run-tests.sh e2e

clean:
	rm -rf build dist
