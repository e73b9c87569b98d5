# Two commands do everything on a fresh Debian 12 machine:
#   make run    build, then show the default movie full-screen under Wine
#   make test   build, then run every test (native, sanitizers, fuzz smoke, Windows under Wine)
# Both install the Debian packages they need first (tools/setup.sh; sudo when not root).

JOBS ?= 2
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=Release
CTEST_FLAGS ?= --output-on-failure -j$(JOBS)

WIN32_DIR := $(BUILD)/win32
NATIVE_DIR := $(BUILD)/native
ASAN_DIR := $(BUILD)/asan
FUZZ_DIR := $(BUILD)/fuzz

.PHONY: all setup build build-win32 build-native build-asan build-fuzz run test test-native \
        test-asan test-fuzz test-win32 fuzz dist clean

all: build

setup:
	@bash tools/setup.sh

$(WIN32_DIR)/build.ninja: | setup
	cmake -S . -B $(WIN32_DIR) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake

$(NATIVE_DIR)/build.ninja: | setup
	cmake -S . -B $(NATIVE_DIR) $(CMAKE_FLAGS)

$(ASAN_DIR)/build.ninja: | setup
	cmake -S . -B $(ASAN_DIR) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTORAL_SANITIZE=ON

$(FUZZ_DIR)/build.ninja: | setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_FLAGS) -DKESTORAL_FUZZ=ON

build-win32: setup $(WIN32_DIR)/build.ninja
	cmake --build $(WIN32_DIR) -j$(JOBS)

build-native: setup $(NATIVE_DIR)/build.ninja
	cmake --build $(NATIVE_DIR) -j$(JOBS)

build-asan: setup $(ASAN_DIR)/build.ninja
	cmake --build $(ASAN_DIR) -j$(JOBS)

build-fuzz: setup $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR) -j$(JOBS)

build: build-win32 build-native

run: build-win32
	bash tools/wine/run-show.sh $(WIN32_DIR)

test-native: build-native
	ctest --test-dir $(NATIVE_DIR) $(CTEST_FLAGS)

test-asan: build-asan
	ctest --test-dir $(ASAN_DIR) $(CTEST_FLAGS)

test-fuzz: build-fuzz
	ctest --test-dir $(FUZZ_DIR) $(CTEST_FLAGS)

test-win32: build-win32
	ctest --test-dir $(WIN32_DIR) $(CTEST_FLAGS)

# Every suite runs even when an earlier one fails; the exit status says whether all passed.
test:
	@status=0; \
	for suite in test-native test-asan test-fuzz test-win32; do \
	  $(MAKE) --no-print-directory $$suite || status=1; \
	done; \
	exit $$status

# The setup program, build/win32/setup.exe.
dist: build-win32
	cmake --build $(WIN32_DIR) --target installer

fuzz: build-fuzz
	cmake --build $(FUZZ_DIR) --target fuzz-campaign

clean:
	rm -rf $(BUILD)
