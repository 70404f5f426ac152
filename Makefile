# The two commands of the README: `make run` builds and starts tolvan, `make test` builds
# and runs every test. Both install what is missing first. `make install` puts the program's
# folder under PREFIX, where the user's data outlives the build.
BUILD ?= build
SAN_BUILD ?= build-san
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
PREFIX ?= $(HOME)/tolvan

.PHONY: run test install deps configure build build-san build-asan

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Everything: the programs, the tests and the benches.
build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The Qt-free core alone under AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzzers
# (for working on the core without Qt; `make test` builds the fuzzers in build-asan).
build-san: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DTOLVAN_CORE_ONLY=ON -DTOLVAN_SANITIZE=ON -DTOLVAN_FUZZ=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)

# The whole program, windows included, under AddressSanitizer and UndefinedBehaviorSanitizer,
# with every test, the fuzzers and the smoke suite on a real display: the windows are where
# lifetime faults live. That the core needs no Qt is checked when any build is configured.
build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTOLVAN_SANITIZE=ON -DTOLVAN_FUZZ=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Only the two programs it starts (and the help pages beside them).
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target tolvan helpviewer
	cd $(BUILD)/app && ./tolvan

# The two programs and the help pages, replaced at every install; data/ is made when missing
# and never touched.
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target tolvan helpviewer
	cmake --install $(BUILD) --prefix $(PREFIX)

test: build build-asan
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
