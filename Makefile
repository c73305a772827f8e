# Ledgrix: `make run` starts the program on a demo portfolio, `make test` builds and runs every test.
# Both install what is missing on a Debian machine first.

BUILD       ?= build
BUILD_TYPE  ?= RelWithDebInfo
JOBS        ?= $(shell nproc)
DEMO_DIR    ?= demo-data

# Debian packages the build, the tests and the tools need.
PACKAGES := cmake make g++ pkg-config \
            qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev help2man
# Extra packages for the sanitizer, fuzzing and coverage targets and the package's validators.
CHECK_PACKAGES := clang libclang-rt-14-dev gcovr desktop-file-utils appstream
# Extra packages for planting faults (make mutants).
MUTANT_PACKAGES := python3 ninja-build ccache
# Extra packages for building the Debian package (dependencies from dpkg-shlibdeps).
PACKAGE_PACKAGES := dpkg-dev file
# The Windows build of the Qt-free layers and the CLI: cross compiler, Wine to run the tests,
# GoogleTest's sources (built with the cross compiler).
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 googletest libcli11-dev
WINDOWS_BUILD ?= build-windows

.PHONY: all deps check-deps package-deps configure build test run package check-package bench \
        sanitize fuzz coverage windows mutants format clean

all: build

deps:
	@PKGS="$(PACKAGES)" sh tools/install-deps.sh

check-deps:
	@PKGS="$(PACKAGES) $(CHECK_PACKAGES)" sh tools/install-deps.sh

package-deps:
	@PKGS="$(PACKAGES) $(PACKAGE_PACKAGES)" sh tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package, built from the same build folder as the tests.
package: package-deps build
	rm -f $(BUILD)/ledgrix_*.deb
	cd $(BUILD) && cpack -G DEB

# The package's desktop entry and metadata validated, its ledgrix-cli run from the unpacked files.
check-package: check-deps package
	sh tools/check-package.sh $(BUILD)

run: build
	@test -f $(DEMO_DIR)/.ledgrix-demo || $(BUILD)/tools/ledgrix-demo $(DEMO_DIR)
	cd $(DEMO_DIR) && ../$(BUILD)/app/ledgrix

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DLEDGRIX_BUILD_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	sh bench/run-all.sh build-bench

sanitize: check-deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLEDGRIX_SANITIZE=ON -DLEDGRIX_BUILD_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

FUZZ_SECONDS ?= 60
fuzz: check-deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGRIX_FUZZ=ON \
	  -DLEDGRIX_BUILD_GUI=OFF -DLEDGRIX_BUILD_TESTS=OFF -DLEDGRIX_BUILD_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target ledgrix_fuzzers
	sh fuzz/run-all.sh build-fuzz $(FUZZ_SECONDS)

coverage: check-deps
	cmake -S . -B build-cov -DCMAKE_BUILD_TYPE=Debug -DLEDGRIX_COVERAGE=ON -DLEDGRIX_BUILD_GUI=OFF -DLEDGRIX_BUILD_BENCH=OFF
	cmake --build build-cov -j $(JOBS)
	find build-cov -name '*.gcda' -delete
	cd build-cov && ctest --output-on-failure -j $(JOBS)
	gcovr -r . build-cov --filter 'platform/' --filter 'formats/' --filter 'maintenance/' \
	  --exclude-unreachable-branches --exclude-throw-branches --print-summary \
	  --html-details build-cov/coverage.html

# platform/, formats/, maintenance/, cli/ and their tests built as static Windows programs, the
# tests run under Wine against Windows paths, then ledgrix-cli.exe checked against the native
# ledgrix-cli on the real samples (tools/windows-parity.sh).
windows: configure
	@PKGS="$(WINDOWS_PACKAGES)" sh tools/install-deps.sh
	cmake --build $(BUILD) -j $(JOBS) --target ledgrix-cli
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DLEDGRIX_BUILD_GUI=OFF -DLEDGRIX_BUILD_BENCH=OFF
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine-prefix sh tools/wine.sh cmd /c exit 0
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)
	sh tools/windows-parity.sh $(BUILD)/app/ledgrix-cli $(WINDOWS_BUILD)/app/ledgrix-cli.exe

# Each planted fault of tools/mutants/faults.txt in turn, against the whole suite (slow: not CI).
# ONLY=name,name plants only those; REV=commit plants into that commit's source.
mutants:
	@PKGS="$(PACKAGES) $(MUTANT_PACKAGES)" sh tools/install-deps.sh
	/usr/bin/python3 tools/mutants/run.py $(if $(ONLY),--only $(ONLY)) $(if $(REV),--rev $(REV))

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-cov build-bench $(WINDOWS_BUILD) build-mutants
