# The two commands of the README: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
ARGS       ?=
FUZZ_SECONDS ?= 10

# Line tables are enough for the backtraces of a failed test and cost less to build than full
# debug information.
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
# The sanitized build is not optimised: it builds in a third of the time, and its tests wait on
# sockets and timers more than they compute.
ASAN_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1 -DNDEBUG"
# ThreadSanitizer slows unoptimised code down too much; it runs the tests of the toolkit's threads.
TSAN_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
TSAN_TESTS = tests/gui/layout/test_gui_layout tests/gui/widgets/test_gui_widgets \
             tests/framework/lang/test_framework_lang

.PHONY: deps build run test test-release test-asan test-tsan test-fuzz bench format tidy install-caps clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/netvigil $(ARGS)

# Every test, once plainly and once under AddressSanitizer and UndefinedBehaviorSanitizer,
# then every fuzz target for a bounded time.
test: deps
	@$(MAKE) --no-print-directory test-release test-asan test-fuzz

test-release: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(ASAN_FLAGS) -DNETVIGIL_SANITIZE=ON -DNETVIGIL_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The tests of windows, labels and the localizer under ThreadSanitizer (not part of `make test`).
test-tsan: deps
	@cmake -S . -B $(TSAN_BUILD) $(TSAN_FLAGS) -DNETVIGIL_TSAN=ON -DNETVIGIL_BENCH=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(notdir $(TSAN_TESTS))
	@for t in $(TSAN_TESTS); do \
	  echo "== $$t"; \
	  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_BUILD)/$$t $(ARGS) || exit 1; \
	done

test-fuzz: deps
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@scripts/run-benchmarks $(BUILD)

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

tidy: build
	@git ls-files '*.cpp' | grep -v '^tests/\|^bench/\|^fuzz/' | xargs clang-tidy -p $(BUILD) --quiet

# Grants the rights helper beside the built program (never the program itself) its group,
# mode and capabilities; `sudo cmake --install $(BUILD)` does the same for an installation.
install-caps: build
	sudo cmake -DNETVIGIL_HELPER=$(BUILD)/app/netvigil-rights -P cmake/GrantRights.cmake

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
