# Varnholt: cross-built with mingw-w64, tested under Wine.
#   make run    build and start the program in the project's Wine prefix
#   make test   build and run every test
#
# Two builds from one tree: $(BUILD)/x86 (the 32-bit program) and
# $(BUILD)/x64 (the native 64-bit one). The Wine prefixes they run in live
# beside them in $(BUILD). ARCH picks the build that run, demo and bench use:
# x86 where this host runs 32-bit code, x64 otherwise.
BUILD ?= build
JOBS  ?= 2
CMAKE_FLAGS ?=
PREFIX_DIR := $(abspath $(BUILD))
HOST32 := $(shell scripts/can-run-32bit >/dev/null 2>&1 && echo yes || echo no)
ifeq ($(HOST32),yes)
ARCH ?= x86
else
ARCH ?= x64
endif
TOOLCHAIN_x86 := cmake/mingw-i686.cmake
TOOLCHAIN_x64 := cmake/mingw-x86_64.cmake

.PHONY: all deps configure build prefixes test run clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/%/CMakeCache.txt:
	cmake -S . -B $(BUILD)/$* -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_$*) -DCMAKE_BUILD_TYPE=Release \
	    -DVARNHOLT_PREFIX_DIR=$(PREFIX_DIR) $(CMAKE_FLAGS)

configure: deps $(BUILD)/x86/CMakeCache.txt $(BUILD)/x64/CMakeCache.txt

build: configure
	cmake --build $(BUILD)/x86 -j$(JOBS)
	cmake --build $(BUILD)/x64 -j$(JOBS)

# The 32-bit prefix only where the host can run 32-bit code at all.
prefixes: deps
	@scripts/make-prefix $(PREFIX_DIR)/prefix64 win64
ifeq ($(HOST32),yes)
	@scripts/make-prefix $(PREFIX_DIR)/prefix32 win32
endif

test: build prefixes
	$(MAKE) -C fuzz short OUT=$(PREFIX_DIR)/fuzz
	scripts/with-display scripts/run-tests $(BUILD) $(CTEST_ARGS)

run: build prefixes
	scripts/run-program $(BUILD)/$(ARCH) $(ARGS)

clean:
	rm -rf $(BUILD)

.PHONY: bench
bench: build
	scripts/run-bench $(BUILD)/$(ARCH) $(SIZES)

.PHONY: bench-fix
bench-fix: build
	scripts/run-fixbench $(BUILD)/$(ARCH) $(COUNTS)

# Longer fuzz run of the backup codec (FUZZ_SECONDS per target, default 600).
.PHONY: fuzz
fuzz: deps
	$(MAKE) -C fuzz long OUT=$(PREFIX_DIR)/fuzz

# Regenerate the bitmaps, icons and sound of res/ (the results are committed,
# so the normal build needs none of these tools).
.PHONY: art
art:
	@EXTRA_PKGS="imagemagick sox fonts-dejavu-core" scripts/install-deps
	res/art/make-art.sh

.PHONY: installer dist
installer: build
	@EXTRA_PKGS="nsis" scripts/install-deps
	scripts/build-installer $(BUILD)

dist: build
	@EXTRA_PKGS="zip" scripts/install-deps
	scripts/build-dist $(BUILD)

# Plants a removed application's leftovers in a prefix and starts the
# program on them.
.PHONY: demo
demo: build prefixes
	scripts/demo $(BUILD)/$(ARCH)

# PNG pictures of sample skinned windows in $(BUILD)/$(ARCH)/screenshots.
.PHONY: screenshots
screenshots: build prefixes
	scripts/screenshot $(BUILD)/$(ARCH)

# The layout test at each screen DPI (x64 build); it leaves a picture of
# every main screen in $(BUILD)/screens-<dpi>.
.PHONY: screens-dpi
screens-dpi: build prefixes
	cd $(BUILD)/x64 && $(abspath scripts/with-display) ctest -R DpiLayout_test --output-on-failure
