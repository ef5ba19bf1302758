# The two commands that do everything: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

.PHONY: all build programs run run-fresh test bench asan fuzz clean

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The program and the scenario tool alone, so running needs no GoogleTest. A
# build folder not configured yet is configured without the test suite; one
# that `make test` configured keeps it, so the two targets share the folder.
programs:
	if [ -f $(BUILD)/CMakeCache.txt ]; then cmake -S . -B $(BUILD) $(CMAKE_FLAGS); \
	else cmake -S . -B $(BUILD) -DPAVECAST_TESTS=OFF $(CMAKE_FLAGS); fi
	cmake --build $(BUILD) -j $(JOBS) --target pavecast pavecast-scenarios

# Runs the program in $(BUILD)/run, a copy of the bundled example made only
# when it is missing: the answers a run saves there are the next run's
# defaults, and the tracked files under example/ never change.
run: programs
	[ -d $(BUILD)/run ] || cp -r example $(BUILD)/run
	cd $(BUILD)/run && ../pavecast

# The same from a new copy of the example: its saved answers, no earlier output.
run-fresh: programs
	rm -rf $(BUILD)/run
	cp -r example $(BUILD)/run
	cd $(BUILD)/run && ../pavecast

# Turns the test suite on again in a folder that `make run` configured.
test:
	cmake -S . -B $(BUILD) -DPAVECAST_TESTS=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DPAVECAST_BENCH=ON -DPAVECAST_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	$(BUILD)-bench/pavecast_bench

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(MAKE) test BUILD=$(BUILD)-asan CMAKE_FLAGS="-DPAVECAST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

# The fuzz targets of fuzz/ (clang, libFuzzer, ASan and UBSan): the checked-in
# corpus replayed, then each target fuzzed for FUZZ_SECONDS seconds, one at
# a time. Findings are left in $(BUILD)-fuzz/fuzz-artifacts/.
fuzz:
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_CXX_COMPILER=clang++ -DPAVECAST_FUZZ=ON -DPAVECAST_TESTS=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	fuzz/run.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-bench $(BUILD)-fuzz
