# The two commands that do everything: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

.PHONY: all build run test bench asan fuzz clean

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Runs the program on a scratch copy of the bundled example, so the tracked
# files under example/ never change.
run: build
	rm -rf $(BUILD)/run
	cp -r example $(BUILD)/run
	cd $(BUILD)/run && ../pavecast

test: build
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
