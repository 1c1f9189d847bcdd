# Tallyleaf: build on Linux with mingw-w64, run and test under Wine.
#
# The program ships as a 32-bit (i686) build. Tests, the bench and `make run` use
# the architecture this machine's kernel can run under Wine (scripts/test-arch):
# i686 where it runs 32-bit code, else x86_64 in its own build folder.
ARCH    ?= $(shell scripts/test-arch)
BUILD32 := build
BUILD64 := build-x64
BUILD   ?= $(if $(filter x86_64,$(ARCH)),$(BUILD64),$(BUILD32))
PREFIX_TEST := $(BUILD)/wineprefix
JOBS    ?= $(shell nproc)
TOOLCHAIN = cmake/mingw-$(ARCH).cmake
WINE_ENV  = TALLYLEAF_ARCH=$(ARCH)

.PHONY: all bootstrap configure build run test bench bench-keys dist clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) >/dev/null

configure: bootstrap $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Starts Tallyleaf in the user's own Wine prefix, then starts it again so that the
# second start calls the (hidden) first instance's window up.
run: build
	@$(WINE_ENV) scripts/run-app $(BUILD)

# Everything (program, tests, bench) is compiled in both architectures, whichever
# one runs the suite: the shipped program is the 32-bit one, and where 32-bit code
# cannot run its compile is the only check that code gets. Both builds are then
# packed and checked, as `make dist` does.
OTHER_ARCH  = $(if $(filter x86_64,$(ARCH)),i686,x86_64)
OTHER_BUILD = $(if $(filter x86_64,$(ARCH)),$(BUILD32),$(BUILD64))

test: configure
	cmake --build $(BUILD) -j $(JOBS) --target all tallyleaf_bench tallyleaf_floor
	@$(MAKE) --no-print-directory configure ARCH=$(OTHER_ARCH) BUILD=$(OTHER_BUILD)
	cmake --build $(OTHER_BUILD) -j $(JOBS) --target all tallyleaf_bench tallyleaf_floor
	scripts/make-dist $(BUILD32) $(BUILD64)
	scripts/check-format
	$(WINE_ENV) scripts/with-small-disk $(BUILD)/small-disk scripts/with-wine $(PREFIX_TEST) ctest --test-dir $(BUILD) --output-on-failure -j 2

# The in-process scenarios, then the key-press bench (scripts/bench-keys: the real
# program and the floor program, timed from a key to the screen); `make bench-keys`
# runs the latter alone.
bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target tallyleaf tallyleaf_bench tallyleaf_floor
	$(WINE_ENV) scripts/with-wine $(PREFIX_TEST) wine $(BUILD)/bin/tallyleaf_bench.exe
	$(WINE_ENV) scripts/bench-keys $(BUILD)

bench-keys: configure
	cmake --build $(BUILD) -j $(JOBS) --target tallyleaf tallyleaf_bench tallyleaf_floor
	$(WINE_ENV) scripts/bench-keys $(BUILD)

# The zips and the installer carry both programs, the 32-bit one at the top of
# the zips and the 64-bit one in their x64 folder (make-dist checks them).
dist:
	@$(MAKE) --no-print-directory configure ARCH=i686 BUILD=$(BUILD32)
	@$(MAKE) --no-print-directory configure ARCH=x86_64 BUILD=$(BUILD64)
	cmake --build $(BUILD32) -j $(JOBS) --target tallyleaf
	cmake --build $(BUILD64) -j $(JOBS) --target tallyleaf
	@scripts/make-dist $(BUILD32) $(BUILD64)

clean:
	rm -rf $(BUILD32) $(BUILD64)
