# make check  installs what the core needs, builds the core on the in-memory backend and runs its tests (no Qt,
#             no X, no Wine): the quick loop for a change to model, pixels, engine or control
# make run   installs what is missing, builds, and starts the program
# make test  installs what is missing, builds, and runs every test, then again with ASan and UBSan, then the
#            Windows core and program under Wine
# make package  builds the Debian package $(BUILD)/tappora_<version>_amd64.deb, checks it (lintian, AppStream),
#               and the same as the .rpm $(BUILD)/tappora-<version>-1.x86_64.rpm
# make windows  cross-builds the Windows program, build-windows/bin/tappora.exe (mingw-w64; installs what is missing)
# make test-windows  every Windows test under Wine on a private display (the backend, the windows, the program)
# make test-windows-core  cross-builds the core and its tests for Windows and runs them under Wine
JOBS ?= 2
BUILD ?= build
SAN_BUILD ?= build-asan
CMAKE_FLAGS ?=
# Development and test builds treat warnings as errors; a plain CMake build (e.g. Release) does not.
DEV_FLAGS = -DTAPPORA_WERROR=ON

.PHONY: check windows test-windows deps build run test test-plain test-sanitize test-windows-core package bench fuzz format

check:
	@tools/install-deps.sh --core
	cmake -S . -B build-check -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAPPORA_BACKEND=fake $(DEV_FLAGS) $(CMAKE_FLAGS)
	cmake --build build-check -j$(JOBS)
	ctest --test-dir build-check --output-on-failure -j$(JOBS) --timeout 300

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(DEV_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@echo "This copy keeps your clicks in $(BUILD)/bin/ (tapporas.xml): deleting $(BUILD) deletes them."
	$(BUILD)/bin/tappora

test: test-plain test-sanitize test-windows-core test-windows

test-plain: build
	tools/run-tests.sh $(BUILD)

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAPPORA_SANITIZE=ON $(DEV_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(SAN_BUILD) -j$(JOBS)
	tools/run-tests.sh $(SAN_BUILD)

package: build
	@tools/install-deps.sh --package
	cd $(BUILD) && cpack -G "DEB;RPM"
	tools/check-package.sh $(BUILD)

windows:
	JOBS=$(JOBS) tools/build-windows.sh build-windows tappora

test-windows:
	JOBS=$(JOBS) tools/test-windows.sh build-windows

test-windows-core:
	JOBS=$(JOBS) tools/test-windows-core.sh build-windows

# Builds only what the benchmarks run: the tests are built and run by `make test`.
BENCH_TARGETS = search_bench capture_bench click_timing program_bench wayland_bench portal_bench

bench:
	tools/install-deps.sh --bench
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPPORA_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j$(JOBS) --target $(BENCH_TARGETS)
	tools/run-bench.sh build-bench
	tools/run-click-timing.sh build-bench
	tools/run-fast-clicks.sh build-bench
	tools/run-many-clicks.sh build-bench

fuzz: deps
	tools/run-fuzz.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
