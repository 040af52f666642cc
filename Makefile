# The two commands: `make run` and `make test`. Both install what is missing first.
.PHONY: all deps native asan win win32 unit imports e2e e2e32 test run dist clean

all: native win win32

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

# The 32-bit build, for every Windows from XP SP3 on.
win32: deps
	@cmake --preset mingw32 >/dev/null
	@cmake --build --preset mingw32

unit: native
	@cd build/native && ctest --output-on-failure -j2

# Both exes import only what Windows XP has (tools/xp-imports.txt).
imports: win win32
	@cd build/win && ctest --output-on-failure
	@cd build/win32 && ctest --output-on-failure

# `make e2e T=test_main_window` runs one test; `T="-k erase"` those matching.
e2e: win
	@tests/e2e/run.sh $(T)

# The 32-bit exe under Wine, which tells it that it runs on Windows XP:
# `make e2e32` runs these tests, `make e2e32 T=test_main_window` one.
E2E32 = NIMBREL_WIN_BUILD=build/win32 NIMBREL_WINVER=winxp tests/e2e/run.sh
E2E32_TESTS = test_main_window test_cleaning_run test_windows_temp test_erase_settings \
  test_installer
e2e32: win32
	@$(E2E32) $(or $(T),$(E2E32_TESTS))

# Unit tests first, under the sanitizers (ctest prints its own summary), the
# import checks, the 32-bit pass, then the whole Wine suite, whose last line is
# "N passed, N failed".
test: asan imports
	@cd build/asan && ctest --output-on-failure -j2
	@$(E2E32) $(E2E32_TESTS)
	@tests/e2e/run.sh

run: win
	@tools/demo.sh

# The installer and the portable zip, in build/dist/.
dist: win win32
	@tools/make-dist.sh

clean:
	rm -rf build
