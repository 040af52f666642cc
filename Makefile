# The two commands: `make run` and `make test`. Both install what is missing first.
.PHONY: all deps native asan win unit e2e test run clean

all: native win

deps:
	@tools/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

# The unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer:
# any leak, overflow or undefined behaviour fails the test that hits it.
asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

win: deps
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw

unit: native
	@cd build/native && ctest --output-on-failure -j2

# `make e2e T=test_main_window` runs one test; `T="-k erase"` those matching.
e2e: win
	@tests/e2e/run.sh $(T)

# Unit tests first, under the sanitizers (ctest prints its own summary), then
# the Wine suite, whose last line is "N passed, N failed".
test: asan win
	@cd build/asan && ctest --output-on-failure -j2
	@tests/e2e/run.sh

run: win
	@tools/demo.sh

clean:
	rm -rf build
