# make        builds the product: build/i686/launcher.exe (32-bit, what ships)
# make test   installs what is missing, builds everything and runs every test
# make fuzz   fuzzes the text parsers (FUZZ_SECONDS per target and mode, default 60)
# make clean  removes build/

JOBS ?= $(shell nproc)
I686 := build/i686
X64 := build/x64
CONFIG := -DCMAKE_BUILD_TYPE=MinSizeRel -Wno-dev

.PHONY: all product tests test fuzz deps clean

all: product

deps:
	@tools/install-deps.sh

product: deps
	@cmake -S . -B $(I686) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake $(CONFIG) >/dev/null
	@cmake --build $(I686) -j $(JOBS)

tests: deps
	@cmake -S . -B $(X64) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
		-DLAUNCHER_TESTS=ON $(CONFIG) >/dev/null
	@cmake --build $(X64) -j $(JOBS)

test: product tests
	@tools/run-tests.sh

fuzz: deps
	@tools/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
