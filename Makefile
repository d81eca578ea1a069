# make run   installs what is missing, builds and starts the service tool
# make test  installs what is missing, builds and runs every test, twice:
#            a normal build and one with AddressSanitizer + UndefinedBehaviorSanitizer

JOBS ?= $(shell nproc)
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
CMAKE_FLAGS ?=

.PHONY: run test deps build build-sanitize test-normal test-sanitize clean

run: build
	./$(BUILD_DIR)/k27_servicetool

test: test-normal test-sanitize

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DK27_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

test-normal: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: build-sanitize
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
