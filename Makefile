# The two commands of the README, `make run` and `make test`, the Debian
# package (`make deb`), the web page (`make web`, `make bench-web`) and the
# hardening targets: `make soak`, `make fuzz`, `make bench`.
BUILD ?= build
WEB_BUILD ?= build-web
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

# The sanitizer run: events of the soak in CI, and in `make soak`.
CI_SOAK_EVENTS ?= 200000
SOAK_EVENTS ?= 10000000
SOAK_SEED ?= 1
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60

# Halt on the first report, with a stack trace.
SANITIZER_ENV := \
	ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:print_stacktrace=1 \
	UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
SANITIZED_TARGETS := instrument_tests soak_tests fuzz_text_replay fuzz_image_replay \
	fuzz_script_replay fuzz_log_replay fuzz_entry_replay fuzz_profile_replay host_fault_tests

# Debian's emscripten finds its own Node modules there when `node` is not Debian's.
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs

.PHONY: run test build deps deb regen goldens sanitize soak fuzz bench web web-test-deps bench-web

deps:
	@bash tools/install-deps.sh

build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j2

# The Debian package, built by CPack from the build folder:
# $(BUILD)/omnira_VERSION_ARCH.deb.
deb: build
	cd $(BUILD) && cpack -G DEB

# Regenerates the constant data (fonts, icons) from the sources in the tree:
# a clean checkout regenerates to no change.
regen: deps
	@bash tools/install-deps.sh generators
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) --target fonts
	cmake --build $(BUILD) --target icons

run: build
	$(BUILD)/window/omnira

# The web page as one file, $(WEB_BUILD)/omnira.html.
web: deps
	@bash tools/install-deps.sh web
	@[ -f $(WEB_BUILD)/CMakeCache.txt ] || $(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD) \
		-DOMNIRA_WEB=ON -DCMAKE_BUILD_TYPE=Release
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j2

# The web tests' packages, as web/tests/package-lock.json pins them.
web-test-deps: web
	@[ -f web/tests/node_modules/playwright-core/package.json ] || \
		(cd web/tests && npm ci --no-audit --no-fund)

# The web page's figures: size and gzipped size, time to the first frame after On
# (median of nine openings), pass and paint, CPU while off, the check of the script of
# most work beside lcdshot's run of it, 55,000 notes. OMNIRA_BENCH_QUICK=1 measures the
# size and the first frame only; OMNIRA_BENCH_LIMITS=1 fails when the page is 200 KB or
# more or its first frame takes 300 ms or more (for a quiet machine: not CI's).
bench-web: build web-test-deps
	OMNIRA_BUILD=$(BUILD) OMNIRA_WEB_BUILD=$(WEB_BUILD) node web/tests/bench.mjs

# Every test (the web page's too), then the instrument's tests, the soak at CI
# size, the fuzz corpus and the window's fault cases again with the sanitizers.
test: web-test-deps build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j2
	@$(MAKE) --no-print-directory sanitize

sanitize: deps
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) -DOMNIRA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j2 --target $(SANITIZED_TARGETS)
	$(SANITIZER_ENV) $(ASAN_BUILD)/tests/instrument_tests --gtest_brief=1
	$(SANITIZER_ENV) SOAK_EVENTS=$(CI_SOAK_EVENTS) \
		$(XVFB) ctest --test-dir $(ASAN_BUILD) -L sanitize --output-on-failure -j2

# The long soak with the sanitizers; SOAK_SEED=N replays another sequence.
soak: deps
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) -DOMNIRA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j2 --target soak_tests
	$(SANITIZER_ENV) SOAK_EVENTS=$(SOAK_EVENTS) SOAK_SEED=$(SOAK_SEED) \
		$(ASAN_BUILD)/tests/soak/soak_tests

# Each libFuzzer target for FUZZ_SECONDS, starting from the committed corpus;
# new inputs go to $(FUZZ_BUILD)/corpus, crashes to $(FUZZ_BUILD)/crashes.
fuzz: deps
	@bash tools/install-deps.sh fuzz
	@[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || \
		cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DOMNIRA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j2 --target fuzz_text fuzz_image fuzz_script fuzz_log fuzz_entry fuzz_profile
	@for t in text image script log entry profile; do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/crashes && \
		$(FUZZ_BUILD)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=$(FUZZ_BUILD)/crashes/$$t- \
			$(FUZZ_BUILD)/corpus/$$t tests/fuzz/corpus/$$t || exit 1; \
	done

# Release build of the benchmarks; the render and window ones need X (Xvfb).
bench: deps
	@bash tools/install-deps.sh bench
	@[ -f $(BENCH_BUILD)/CMakeCache.txt ] || \
		cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DOMNIRA_BENCH=ON
	cmake --build $(BENCH_BUILD) -j2 --target pass_bench window_bench log_bench
	$(BENCH_BUILD)/bench/pass_bench
	$(BENCH_BUILD)/bench/log_bench
	$(XVFB) $(BENCH_BUILD)/bench/window_bench

# Rewrites every golden screen from the current drawing: look at the changed
# PNGs (git diff --stat tests/goldens) before committing them.
goldens: build
	OMNIRA_UPDATE_GOLDENS=1 $(BUILD)/tests/instrument_tests --gtest_brief=1
