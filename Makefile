# Set-up and build entry points. Each target installs what it needs first, from its own package
# list; every list is complete on its own for a bare Debian machine.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)

# Building and running the program and vorkel-cli (Qt's xcb and offscreen platforms come with
# qt6-base-dev's libqt6gui6).
RUN_PKGS = cmake ninja-build g++ pkg-config libssl-dev nlohmann-json3-dev \
           qt6-base-dev libgl-dev libxcb-xkb-dev fonts-dejavu-core

# The portable folder: patchelf sets $ORIGIN run paths, qt6-wayland gives the wayland plugins to
# carry.
PORTABLE_PKGS = $(RUN_PKGS) patchelf qt6-wayland

# The Google Benchmark suites.
BENCH_PKGS = $(RUN_PKGS) libbenchmark-dev

# libFuzzer: clang with its sanitizer runtimes; the core only.
FUZZ_PKGS = cmake ninja-build g++ pkg-config libssl-dev nlohmann-json3-dev \
            clang-14 libclang-rt-14-dev

# Everything make test runs: GoogleTest and the format check; the desktop scenarios (Xvfb,
# openbox, xdotool, xclip, xprop and xwininfo, imagemagick); the browser tests (chromium); the
# portable folder's tests, which drive it on Xvfb and try a FAT image (dosfstools; fusefat where
# the kernel has no vfat driver); the fuzz replay; openssl and xxd for tests/data's vector script.
TEST_PKGS = $(sort $(RUN_PKGS) $(PORTABLE_PKGS) $(FUZZ_PKGS) \
            libgtest-dev libgmock-dev libbenchmark-dev python3 clang-format openssl xxd chromium \
            xvfb openbox xdotool xclip x11-utils imagemagick dosfstools fusefat)
DIST ?= dist

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

# The program alone configures without the tests; the test builds turn warnings into errors.
CONFIGURE     = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
CONFIGURE_RUN = $(CONFIGURE) -DVORKEL_TESTS=OFF
# The plain build compiles the benchmarks too (not run), so they cannot rot unseen.
PLAIN_CMAKE   = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORKEL_TESTS=ON -DVORKEL_BENCH=ON \
                -DVORKEL_WERROR=ON
SAN_CMAKE     = -DCMAKE_BUILD_TYPE=Debug -DVORKEL_SANITIZE=ON -DVORKEL_TESTS=ON \
                -DVORKEL_BENCH=OFF -DVORKEL_WERROR=ON

# make test runs the plain and the sanitizer suites side by side, each with half the jobs.
HALF_JOBS := $(shell j=$(JOBS); echo $$(( j > 1 ? j / 2 : 1 )))

.PHONY: run test test-plain test-sanitize bench portable clean format fuzz

run:
	@scripts/install-deps.sh $(RUN_PKGS)
	$(CONFIGURE_RUN) -DVORKEL_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS) --target vorkel vorkel-cli
	$(BUILD)/src/gui/vorkel

# One command for CI. Each suite logs to <build>/suite.log, printed when it fails; make fails when
# either does. The sanitizer side then replays every fuzz target once over its committed corpus
# and the generated seeds, so a known bad input fails every run; open-ended fuzzing is make fuzz.
test:
	@scripts/install-deps.sh $(TEST_PKGS)
	@$(MAKE) --no-print-directory -j2 test-plain test-sanitize

test-plain:
	@scripts/test-suite.sh plain $(BUILD) $(HALF_JOBS) -- $(PLAIN_CMAKE)

test-sanitize:
	@scripts/test-suite.sh sanitizer $(SAN_BUILD) $(HALF_JOBS) -LE slow -- $(SAN_CMAKE) -- \
	    env FUZZ_BUILD=$(FUZZ_BUILD) JOBS=$(HALF_JOBS) scripts/fuzz.sh --replay

# Every libFuzzer target for FUZZ_SECONDS under ASan and UBSan; any finding fails.
fuzz:
	@scripts/install-deps.sh $(FUZZ_PKGS)
	FUZZ_BUILD=$(FUZZ_BUILD) FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh

# dist/Vorkel-<version>-linux-x86_64.tar.gz, unpacking to one folder Vorkel/.
portable:
	@scripts/install-deps.sh $(PORTABLE_PKGS)
	$(CONFIGURE_RUN)
	cmake --build $(BUILD) -j $(JOBS) --target portable

bench:
	@scripts/install-deps.sh $(BENCH_PKGS)
	$(CONFIGURE_RUN) -DVORKEL_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS) --target vorkel-bench vorkel-gui-bench
	$(BUILD)/bench/vorkel-bench
	$(BUILD)/bench/gui/vorkel-gui-bench

# Rewrites every C++ file the sources_are_formatted test checks, in place.
format:
	@scripts/install-deps.sh clang-format
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
