# make run   installs what is missing, builds and starts the service tool
# make demo  the same program against two simulated devices (no hardware needed)
# make test  installs what is missing, checks the formatting of every source, builds (warnings
#            are errors) and runs every test, twice: a normal build and one with
#            AddressSanitizer + UndefinedBehaviorSanitizer; then the threaded tests (label
#            "threaded") once more with ThreadSanitizer
# make package  builds the Debian package build/k27-servicetool_<version>_<arch>.deb

JOBS ?= $(shell nproc)
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
TSAN_DIR ?= build-tsan
CMAKE_FLAGS ?=
# Warnings fail the test builds.
WERROR_FLAGS ?= -DK27_WERROR=ON

.PHONY: run demo screenshots test package check-format check-layers deps build build-sanitize build-tsan test-normal test-sanitize test-tsan clean

run: build
	./$(BUILD_DIR)/k27_servicetool

package: build
	cd $(BUILD_DIR) && cpack -G DEB

demo: build
	./$(BUILD_DIR)/tools/demo/k27-demo

# Redraws the pictures of the README (offscreen, against the simulated device).
screenshots: build
	./$(BUILD_DIR)/tools/screenshots/k27-screenshots --out docs/screenshots

test: check-format check-layers test-normal test-sanitize test-tsan

# Every source under the project's folders is formatted as .clang-format says.
check-format: deps
	./scripts/check-format.sh

# No source includes a header of a higher layer (docs/MAINTAINERS.md).
check-layers:
	./scripts/check-layers.py

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DK27_SANITIZE=ON $(WERROR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

# Only the threaded tests and what they start (k27ctl, k27-devicesim) are built here.
build-tsan: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK27_TSAN=ON -DK27_BUILD_BENCH=OFF $(WERROR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS) --target k27_threaded_tests

test-normal: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: build-sanitize
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

test-tsan: build-tsan
	cd $(TSAN_DIR) && ctest --output-on-failure -j $(JOBS) -L threaded

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(TSAN_DIR)
