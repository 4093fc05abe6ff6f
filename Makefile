# Set-up and build entry points. Each target installs what it needs first.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)

BUILD_PKGS = cmake ninja-build g++ pkg-config openssl libssl-dev libpugixml-dev \
             nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev clang-format xxd \
             qt6-base-dev libgl-dev chromium clang-14 libclang-rt-14-dev \
             libxcb-xkb-dev \
             python3 xvfb openbox xdotool xclip x11-utils imagemagick fonts-dejavu-core

# The portable folder: patchelf sets $ORIGIN run paths, qt6-wayland gives the wayland plugins to
# carry; its tests (in make test) drive the bundled program on Xvfb with xdotool and try a FAT
# image (dosfstools; fusefat where the kernel has no vfat driver).
PORTABLE_PKGS = patchelf qt6-wayland xvfb xdotool dosfstools fusefat
DIST ?= dist

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: run test bench deps portable-deps portable build build-sanitize clean format fuzz

deps:
	@scripts/install-deps.sh $(BUILD_PKGS)

portable-deps:
	@scripts/install-deps.sh $(PORTABLE_PKGS)

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORKEL_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

$(SAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORKEL_SANITIZE=ON -DVORKEL_BENCH=OFF -DVORKEL_WERROR=ON

build-sanitize: deps $(SAN_BUILD)/build.ninja
	cmake --build $(SAN_BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/gui/vorkel

test: build build-sanitize portable-deps
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow
	$(MAKE) fuzz

# Every libFuzzer target for FUZZ_SECONDS under ASan and UBSan; any finding fails.
fuzz: deps
	FUZZ_BUILD=$(FUZZ_BUILD) FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh

# dist/Vorkel-<version>-linux-x86_64.tar.gz, unpacking to one folder Vorkel/.
portable: build portable-deps
	cmake --build $(BUILD) --target portable

bench: build
	$(BUILD)/bench/vorkel-bench
	$(BUILD)/bench/gui/vorkel-gui-bench

# Rewrites every C++ file the sources_are_formatted test checks, in place.
format:
	@scripts/install-deps.sh clang-format
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
