# Varnholt: cross-built with mingw-w64, tested under Wine.
#   make run    build and start the program in the project's Wine prefix
#   make test   build and run every test
BUILD ?= build
JOBS  ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build prefixes test run clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)

prefixes: deps
	@scripts/make-prefix $(abspath $(BUILD))/prefix64 win64
	@scripts/make-prefix $(abspath $(BUILD))/prefix32 win32

test: build prefixes
	$(MAKE) -C fuzz short OUT=$(abspath $(BUILD))/fuzz
	scripts/with-display scripts/run-tests $(BUILD) $(CTEST_ARGS)

run: build prefixes
	scripts/run-program $(BUILD) $(ARGS)

clean:
	rm -rf $(BUILD)

.PHONY: bench
bench: build
	scripts/run-bench $(BUILD) $(SIZES)

# Longer fuzz run of the backup codec (FUZZ_SECONDS per target, default 600).
.PHONY: fuzz
fuzz: deps
	$(MAKE) -C fuzz long OUT=$(abspath $(BUILD))/fuzz

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

# Plants a removed application's leftovers in the 32-bit prefix and starts
# the program on them.
.PHONY: demo
demo: build prefixes
	scripts/demo $(BUILD)

# PNG pictures of sample skinned windows in $(BUILD)/screenshots.
.PHONY: screenshots
screenshots: build prefixes
	scripts/screenshot $(BUILD)
