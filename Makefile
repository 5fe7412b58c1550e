# make run  : install what is missing, build, write the demo ROM, open the editor on it
# make test : install what is missing, build, run every test (plain and sanitized core)

BUILD      ?= build
SANBUILD   ?= build-asan
DEMO       ?= $(BUILD)/demo.smc
PACKAGES   := cmake ninja-build g++ qt6-base-dev libgtest-dev libbenchmark-dev zlib1g-dev xvfb xauth fonts-dejavu-core
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test test-plain test-asan bench demo clean

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

test: deps
	@$(MAKE) --no-print-directory test-plain
	@$(MAKE) --no-print-directory test-asan

bench: build
	$(BUILD)/bin/marlwick-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf $(BUILD) $(SANBUILD)
