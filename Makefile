# make run   installs what is missing, builds and starts the service tool
# make demo  the same program against two simulated devices (no hardware needed)
# make test  installs what is missing, checks the formatting of every source and that no
#            include runs upward, builds (warnings are errors) and runs every test, twice: a
#            normal build (the package test as a stage of its own) and one with
#            AddressSanitizer + UndefinedBehaviorSanitizer; then the threaded tests (label
#            "threaded") once more with ThreadSanitizer
# make package  builds the Debian package build/k27-servicetool_<version>_<arch>.deb
# make bench builds the benchmarks (never built by make test) and runs them

# Compiling waits on the disk too: two jobs more than cores, as Ninja chooses by itself.
JOBS ?= $(shell echo $$(( $$(nproc) + 2 )))
# Most tests wait on a pseudo-terminal or a timer rather than compute: twice as many as cores.
TEST_JOBS ?= $(shell echo $$(( $$(nproc) * 2 )))
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
TSAN_DIR ?= build-tsan
CMAKE_FLAGS ?=
# Warnings fail the test builds.
WERROR_FLAGS ?= -DK27_WERROR=ON
# Ninja and ccache when they are installed (scripts/install-deps.sh installs both). A build folder
# keeps the generator it was first configured with.
GENERATOR = $(if $(wildcard $(1)/CMakeCache.txt),,$(if $(shell command -v ninja),-G Ninja))
LAUNCHER = $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# ccache takes a source's headers from the compiler's dependency file instead of running the
# preprocessor once more: a first build, with nothing in the cache, costs no more than without.
export CCACHE_DEPEND ?= true
# File and line in backtraces, without the rest of the debugging information: a quarter less
# compile time, and the linker reads a fifth of the objects' size (configure by hand for more).
CONFIGURE = cmake -S . -B $(1) $(call GENERATOR,$(1)) $(LAUNCHER) $(WERROR_FLAGS) -DK27_LINE_TABLES=ON

.PHONY: run demo screenshots test package bench check-format check-layers deps build build-sanitize build-tsan test-normal test-package test-sanitize test-tsan clean

run: build
	./$(BUILD_DIR)/k27_servicetool

package: build
	cd $(BUILD_DIR) && cpack -G DEB

demo: build
	./$(BUILD_DIR)/tools/demo/k27-demo

# Redraws the pictures of the README (offscreen, against the simulated device).
screenshots: build
	./$(BUILD_DIR)/tools/screenshots/k27-screenshots --out docs/screenshots --size 1280x720

test: check-format check-layers test-normal test-package test-sanitize test-tsan

# Every source under the project's folders is formatted as .clang-format says.
check-format: deps
	./scripts/check-format.sh

# No source includes a header of a higher layer (docs/MAINTAINERS.md).
check-layers: deps
	./scripts/check-layers.py

deps:
	./scripts/install-deps.sh

# The benchmarks are built only here, never in the test builds.
build: deps
	$(call CONFIGURE,$(BUILD_DIR)) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK27_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the test programs and what they run are built here: the program itself, the demo and the
# picture generator are built and packed by the normal build.
build-sanitize: deps
	$(call CONFIGURE,$(SANITIZE_DIR)) -DCMAKE_BUILD_TYPE=Debug -DK27_SANITIZE=ON -DK27_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target k27_tests k27_gui_tests k27_threaded_tests

# Only the threaded tests' program and what it starts (k27ctl, k27-mkpackage) are built here.
build-tsan: deps
	$(call CONFIGURE,$(TSAN_DIR)) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK27_TSAN=ON -DK27_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS) --target k27_threaded_tests

# Builds every benchmark into the normal build folder and runs them one after the other; they
# report speed as ratios against floors measured in the same run and assert nothing.
bench: deps
	$(call CONFIGURE,$(BUILD_DIR)) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK27_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target k27_benchmarks
	for benchmark in $(BUILD_DIR)/bench/bench_*; do \
		if [ -f "$$benchmark" ] && [ -x "$$benchmark" ]; then "$$benchmark" || exit 1; fi; \
	done

test-normal: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(TEST_JOBS) -LE package

# The package test packs the normal build with CPack; a stage of its own.
test-package: build
	cd $(BUILD_DIR) && ctest --output-on-failure -L package

# The sanitizer builds start their tests in the order of the times the normal build measured
# (longest first), unless they have measured times of their own.
COST_DATA = Testing/Temporary/CTestCostData.txt
SEED_COST_DATA = mkdir -p $(1)/Testing/Temporary && if [ -f $(BUILD_DIR)/$(COST_DATA) ] && [ ! -f $(1)/$(COST_DATA) ]; then cp $(BUILD_DIR)/$(COST_DATA) $(1)/$(COST_DATA); fi

test-sanitize: build-sanitize
	$(call SEED_COST_DATA,$(SANITIZE_DIR))
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(TEST_JOBS)

test-tsan: build-tsan
	$(call SEED_COST_DATA,$(TSAN_DIR))
	cd $(TSAN_DIR) && ctest --output-on-failure -j $(TEST_JOBS) -L threaded

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(TSAN_DIR)
