# Tallyleaf: build on Linux with mingw-w64, run and test under Wine.
BUILD   ?= build
PREFIX_TEST := $(BUILD)/wineprefix
JOBS    ?= $(shell nproc)

.PHONY: all bootstrap configure build run test bench dist clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null

configure: bootstrap $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Starts Tallyleaf in the user's own Wine prefix, then starts it again so that the
# second start calls the (hidden) first instance's window up.
run: build
	@scripts/run-app $(BUILD)

test: build
	scripts/with-wine $(PREFIX_TEST) ctest --test-dir $(BUILD) --output-on-failure -j 2

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target tallyleaf_bench
	scripts/with-wine $(PREFIX_TEST) wine $(BUILD)/bin/tallyleaf_bench.exe

dist: build
	@scripts/make-dist $(BUILD)

clean:
	rm -rf $(BUILD)
