# Entry points: `make run`, `make test`, `make check-sanitize`, `make monkey`, `make bench`, `make format`.
# Each one installs missing Debian packages first (tools/install-deps).

BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build test check-sanitize monkey check-format format bench fuzz run clean

all: build

deps:
	@tools/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(SAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVWT_SANITIZE=ON -DVWT_BUILD_BENCH=OFF $(CMAKE_ARGS)

check-sanitize: deps $(SAN_BUILD)/build.ninja
	cmake --build $(SAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

# `make monkey MONKEY_MINUTES=10`: random input through the browser's window in the sanitizer build,
# seed after seed for that long (tools/monkey); a failed run prints its seed, its script and the command
# that repeats it. MONKEY_SEED, MONKEY_EVENTS and MONKEY_TIMEOUT pass through.
MONKEY_MINUTES ?= 10
monkey: deps $(SAN_BUILD)/build.ninja
	cmake --build $(SAN_BUILD) -j $(JOBS) --target test_browser
	MONKEY_MINUTES=$(MONKEY_MINUTES) tools/monkey $(SAN_BUILD)

bench: build
	@set -e; for b in $(BUILD)/bin/bench_*; do \
	  [ -x "$$b" ] || continue; echo "== $$b"; "$$b" $(BENCH_ARGS); done

# `make fuzz FUZZ_SECONDS=600`: libFuzzer over the response decoder, the picture decoders and the
# service's HTML engine (clang), each for FUZZ_SECONDS.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@tools/install-deps tools/debian-packages-fuzz.txt
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVWT_BUILD_FUZZ=ON -DVWT_BUILD_TESTS=OFF -DVWT_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_envelope fuzz_picture picture_seeds fuzz_html
	mkdir -p $(FUZZ_BUILD)/corpus/envelope
	$(FUZZ_BUILD)/bin/fuzz_envelope -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/envelope fuzz/corpus/envelope
	mkdir -p $(FUZZ_BUILD)/corpus/picture $(FUZZ_BUILD)/seeds/picture
	$(FUZZ_BUILD)/bin/picture_seeds $(FUZZ_BUILD)/seeds/picture
	$(FUZZ_BUILD)/bin/fuzz_picture -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_BUILD)/picture- $(FUZZ_BUILD)/corpus/picture $(FUZZ_BUILD)/seeds/picture
	mkdir -p $(FUZZ_BUILD)/corpus/html
	$(FUZZ_BUILD)/bin/fuzz_html -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -rss_limit_mb=4096 \
	  -artifact_prefix=$(FUZZ_BUILD)/html- $(FUZZ_BUILD)/corpus/html service/sites/demo

# One style for the whole tree (.clang-format); CI runs the check.
format: deps
	tools/format

check-format: deps
	tools/format --check

# The rendering service on 127.0.0.1:6111 and the browser (tools/run).
run: build
	tools/run $(BUILD)/bin

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
