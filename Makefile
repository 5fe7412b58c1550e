# make run  : install what is missing, build, write the demo ROM, open the editor on it
# make test : install what is missing, build, run every test (plain, sanitized core, core on Windows)
# make test-windows : cross-build the core for Windows and run its tests under wine
# make install [PREFIX=/usr/local] [DESTDIR=staging] : build and install

BUILD      ?= build
SANBUILD   ?= build-asan
WINBUILD   ?= build-win
PREFIX     ?= /usr/local
DEMO       ?= $(BUILD)/demo.smc
PACKAGES   := cmake ninja-build g++ qt6-base-dev libgtest-dev libbenchmark-dev zlib1g-dev xvfb xauth fonts-dejavu-core \
              g++-mingw-w64-x86-64-posix wine64 googletest
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test test-plain test-asan test-windows install bench demo clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

LAUNCHER   := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

$(SANBUILD)/build.ninja:
	cmake -S . -B $(SANBUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMW_SANITIZE=ON -DMW_CORE_ONLY=ON $(LAUNCHER)

# The core cross-built with mingw-w64, GoogleTest built from Debian's sources
# with the same compiler; ctest runs each test program under wine.
$(WINBUILD)/build.ninja:
	cmake -S . -B $(WINBUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DMW_CORE_ONLY=ON -DMW_BENCH=OFF -DMW_GTEST_SOURCE_DIR=/usr/src/googletest $(LAUNCHER)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

demo: build
	$(BUILD)/bin/marlwick-cli make-demo $(DEMO)

run: demo
	$(BUILD)/bin/marlwick $(DEMO)

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j2

test-asan: deps $(SANBUILD)/build.ninja
	cmake --build $(SANBUILD)
	cd $(SANBUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -L core -j2

# wine keeps its own Windows folder in the build; it is made once, before
# the tests start side by side. Two test programs starting at once can race
# to start wine's server, and the loser ends before its first test: a test
# program that fails is run once more, so only a failure that repeats counts.
test-windows: deps $(WINBUILD)/build.ninja
	cmake --build $(WINBUILD)
	export WINEDEBUG=-all WINEPREFIX=$(abspath $(WINBUILD))/wine; \
	  [ -d "$$WINEPREFIX" ] || { /usr/lib/wine/wine64 wineboot --init && /usr/lib/wine/wineserver -w; }; \
	  cd $(WINBUILD) && ctest --output-on-failure -L core -j2 --repeat until-pass:2

test: deps
	@$(MAKE) --no-print-directory test-plain
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-windows

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

bench: build
	$(BUILD)/bin/marlwick-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf $(BUILD) $(SANBUILD) $(WINBUILD)
