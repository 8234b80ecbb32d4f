# The two commands of the README: `make run` and `make test`.
BUILD ?= build
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: run test build deps regen goldens

deps:
	@bash tools/install-deps.sh

build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j2

# Regenerates the constant data (fonts, icons) from the sources in the tree:
# a clean checkout regenerates to no change.
regen: deps
	@bash tools/install-deps.sh generators
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) --target fonts
	cmake --build $(BUILD) --target icons

run: build
	$(BUILD)/host/omnira

test: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j2

# Rewrites every golden screen from the current drawing: look at the changed
# PNGs (git diff --stat tests/goldens) before committing them.
goldens: build
	OMNIRA_UPDATE_GOLDENS=1 $(BUILD)/tests/instrument_tests --gtest_brief=1
