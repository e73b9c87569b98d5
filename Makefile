# Two commands do everything on a fresh Debian 12 machine:
#   make run    build, then show the default movie full-screen under Wine
#   make test   build, then run every test (native, sanitizers, fuzz smoke, Windows under Wine)
# Both install the Debian packages they need first (tools/setup.sh; sudo when not root).
#
# Two Windows builds come from the same sources: build/win32 (i686, the screen saver as shipped
# for every Windows) and build/win64 (x86_64, for 64-bit Windows and 64-bit hosts of the player
# control). Their Windows suites run on every architecture whose programs this machine can start
# (tools/wine/runnable-arches.sh); KESTORAL_NO_WIN32=1 takes the path of a machine that cannot
# run 32-bit programs (only the x86_64 suites then).

JOBS ?= 2
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=Release
CTEST_FLAGS ?= --output-on-failure -j$(JOBS)

WIN32_DIR := $(BUILD)/win32
WIN64_DIR := $(BUILD)/win64
NATIVE_DIR := $(BUILD)/native
ASAN_DIR := $(BUILD)/asan
FUZZ_DIR := $(BUILD)/fuzz

.PHONY: all setup build build-win32 build-win64 build-windows build-native build-asan build-fuzz \
        run test test-native test-asan test-fuzz test-win32 test-win64 test-windows fuzz dist clean

all: build

setup:
	@bash tools/setup.sh

# Each Windows build knows the other's programs: setup.exe carries both architectures.
$(WIN32_DIR)/build.ninja: | setup
	cmake -S . -B $(WIN32_DIR) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DKESTORAL_WIN64_BIN_DIR=$(CURDIR)/$(WIN64_DIR)/bin

$(WIN64_DIR)/build.ninja: | setup
	cmake -S . -B $(WIN64_DIR) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake \
	  -DKESTORAL_WIN32_BIN_DIR=$(CURDIR)/$(WIN32_DIR)/bin

$(NATIVE_DIR)/build.ninja: | setup
	cmake -S . -B $(NATIVE_DIR) $(CMAKE_FLAGS)

$(ASAN_DIR)/build.ninja: | setup
	cmake -S . -B $(ASAN_DIR) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTORAL_SANITIZE=ON

$(FUZZ_DIR)/build.ninja: | setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_FLAGS) -DKESTORAL_FUZZ=ON

# The programs and controls of both architectures first, then the rest of each build (its
# setup.exe takes the other architecture's files).
build-windows: setup $(WIN32_DIR)/build.ninja $(WIN64_DIR)/build.ninja
	cmake --build $(WIN32_DIR) -j$(JOBS) --target kestoral swfplayer_control
	cmake --build $(WIN64_DIR) -j$(JOBS) --target kestoral swfplayer_control
	cmake --build $(WIN32_DIR) -j$(JOBS)
	cmake --build $(WIN64_DIR) -j$(JOBS)

build-win32 build-win64: build-windows

build-native: setup $(NATIVE_DIR)/build.ninja
	cmake --build $(NATIVE_DIR) -j$(JOBS)

build-asan: setup $(ASAN_DIR)/build.ninja
	cmake --build $(ASAN_DIR) -j$(JOBS)

build-fuzz: setup $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR) -j$(JOBS)

build: build-windows build-native

# The 32-bit build where 32-bit programs run, the 64-bit one elsewhere.
run: build-windows
	@arches=$$(bash tools/wine/runnable-arches.sh --why); \
	case " $$arches " in \
	  *" win32 "*) arch=win32 ;; \
	  *" win64 "*) arch=win64 ;; \
	  *) echo "make run: no Windows architecture can run here (see above)" >&2; exit 1 ;; \
	esac; \
	echo "make run: showing the $$arch build ($(BUILD)/$$arch)"; \
	KESTORAL_WINE_ARCH=$$arch bash tools/wine/run-show.sh $(BUILD)/$$arch

test-native: build-native
	ctest --test-dir $(NATIVE_DIR) $(CTEST_FLAGS)

test-asan: build-asan
	ctest --test-dir $(ASAN_DIR) $(CTEST_FLAGS)

test-fuzz: build-fuzz
	ctest --test-dir $(FUZZ_DIR) $(CTEST_FLAGS)

test-win32: build-windows
	ctest --test-dir $(WIN32_DIR) $(CTEST_FLAGS)

test-win64: build-windows
	ctest --test-dir $(WIN64_DIR) $(CTEST_FLAGS)

# The Windows suites of every architecture that runs here; none runnable is a failure.
test-windows:
	@arches=$$(bash tools/wine/runnable-arches.sh); \
	if [ -z "$$arches" ]; then \
	  bash tools/wine/runnable-arches.sh --why >/dev/null; \
	  echo "make test: no Windows architecture can run here (see above): the Windows suites cannot run" >&2; \
	  exit 1; \
	fi; \
	case " $$arches " in *" win32 "*) ;; \
	  *) echo "make test: 32-bit Windows programs cannot run here: the Windows suites run on x86_64 only" ;; \
	esac; \
	status=0; \
	for arch in $$arches; do \
	  $(MAKE) --no-print-directory test-$$arch || status=1; \
	done; \
	exit $$status

# Every suite runs even when an earlier one fails; the exit status says whether all passed.
test:
	@status=0; \
	for suite in test-native test-asan test-fuzz test-windows; do \
	  $(MAKE) --no-print-directory $$suite || status=1; \
	done; \
	exit $$status

# The setup program: build/win32/setup.exe, one program for every Windows (32-bit, carrying the
# 64-bit screen saver and control for 64-bit Windows), and build/win64/setup.exe, the same
# script built as a 64-bit program.
dist: build-windows
	cmake --build $(WIN32_DIR) --target installer
	cmake --build $(WIN64_DIR) --target installer

fuzz: build-fuzz
	cmake --build $(FUZZ_DIR) --target fuzz-campaign

clean:
	rm -rf $(BUILD)
