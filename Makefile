# The commands of the README. Each one installs what is missing, configures,
# builds, then runs, tests or packages.
#   make run       the program alone (no tests), in the user's settings folder
#   make test      every test, as CI runs them
#   make check     the unit and UI tests only, for every edit (under a minute)
#   make package   the Debian package, build/vemar_*.deb
BUILD ?= build
RUN_BUILD ?= build-run
# No debug information: the program alone, built as fast as it can be.
RUN_CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release
# A warning is an error here (and in the builds the tests make); `make run`
# stays lenient, for a compiler newer than the one the code is checked with.
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMAR_WERROR=ON

.PHONY: run run-build test check package deps deps-run build clean

deps:
	@scripts/install-deps test

deps-run:
	@scripts/install-deps run

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

# A build of its own without tests or benchmarks, so that it stays quick and
# never reconfigures the test build.
$(RUN_BUILD)/build.ninja:
	cmake -S . -B $(RUN_BUILD) -G Ninja $(RUN_CMAKE_FLAGS) -DVEMAR_TESTS=OFF -DVEMAR_BENCH=OFF

# The build alone; tests/proof.cmake makes it afresh and expects no warning.
run-build: deps-run $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) --target vemar

run: run-build
	@scripts/run-vemar $(RUN_BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

# The year-long comparisons with the time-zone database stay in `make test`.
CHECK_SKIP = ^(Homes/RealWorld|Homes/DatabaseMode|YearLong|LeftRunning|TickRate)\.
check: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target check-tests
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 -L '^(core|ui)$$' -E '$(CHECK_SKIP)'

package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(RUN_BUILD)
