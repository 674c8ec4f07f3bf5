# make              builds the product: build/i686/launcher.exe (32-bit, for 32-bit Java)
#                   and build/x86_64/launcher.exe (64-bit, for 64-bit Java), each with
#                   its companions explain.exe and stamp.exe beside it
# make demo         stamps the launcher as the sample Java application's MyApp.exe and
#                   runs the application through it under Wine
# make test         installs what is missing, builds everything and runs every test
# make native-tests builds the Linux suite of the JNI calls against the real JDK
# make fuzz         fuzzes the text parsers (FUZZ_SECONDS per target and mode, default 60)
# make bench        measures the launcher's start-up, runtime discovery and size under Wine
# make clean        removes build/

JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory
I686 := build/i686
X86_64 := build/x86_64
X64 := build/x64
NATIVE := build/native
CONFIG := -DCMAKE_BUILD_TYPE=MinSizeRel -Wno-dev --no-warn-unused-cli

.PHONY: all product x64-config tests native-tests test bench demo fuzz deps clean

all: product

deps:
	@tools/install-deps.sh

# The two product executables come from the same sources; the x86_64 one is
# configured apart from the test build in build/x64.
product: deps
	@cmake -S . -B $(I686) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake $(CONFIG) >/dev/null
	@cmake --build $(I686) -j $(JOBS)
	@cmake -S . -B $(X86_64) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake $(CONFIG) >/dev/null
	@cmake --build $(X86_64) -j $(JOBS)

x64-config: deps
	@cmake -S . -B $(X64) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
		-DLAUNCHER_TESTS=ON $(CONFIG) >/dev/null

tests: x64-config
	@cmake --build $(X64) -j $(JOBS)

native-tests: deps
	@cmake -S tests/native -B $(NATIVE) $(CONFIG) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

test: product tests native-tests
	@tools/run-tests.sh

fuzz: deps
	@tools/fuzz.sh $(FUZZ_SECONDS)

# A benchmark, not a test: prints numbers, never fails on timing.
bench: product tests
	@tools/bench.sh $(BENCH_RUNS)

# Only what the demo runs: the x86_64 launcher, stamp, which gives it the
# demo's icon and version information, and the bridge runtime (and explain,
# to look at the demo's launch).
demo: x64-config
	@cmake --build $(X64) -j $(JOBS) --target launcher launcher-console stamp bridgejvm bridgejvm_files explain
	@tools/demo.sh

clean:
	rm -rf build
