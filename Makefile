# The two commands: `make run` and `make test`. Both install what is missing first.
.PHONY: all deps native asan fuzz win win32 unit imports e2e e2e32 test run dist clean

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

# The fuzz targets (clang's libFuzzer), each run for FUZZ_TIME seconds (default 60) or
# FUZZ_TIME=runs=N executions: `make fuzz`, `make fuzz FUZZ_TIME=600 FUZZ=profile`.
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@tools/fuzz.sh $(or $(FUZZ_TIME),60) $(FUZZ)

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
	@cd build/win && ctest -L imports --output-on-failure
	@cd build/win32 && ctest -L imports --output-on-failure

# The Wine suite, through CTest (cmake/ScriptTests.cmake), two tests at a time:
# `make e2e T=browsers` runs the tests whose name matches (a ctest -R pattern);
# E2E_JOBS=1 runs them one by one.
e2e_ctest = ctest --output-on-failure -j$(or $(E2E_JOBS),2) $(if $(1),-R '$(1)')
e2e: win
	@cd build/win && $(call e2e_ctest,$(T)) -L e2e

# The 32-bit exe under Wine, which tells it that it runs on Windows XP: the main tests
# and the installer's (`make e2e32 T=main_window` runs one). Where Wine cannot run
# 32-bit programs the pass is skipped, with one line saying why.
e2e32_ctest = if why=$$(tests/e2e/template.sh skip build/win32); then \
	  echo "SKIP the 32-bit Wine tests: $$why"; \
	else cd build/win32 && $(call e2e_ctest,$(1)) -L e2e32; fi
e2e32: win32
	@$(call e2e32_ctest,$(T))

# Unit tests first, under the sanitizers, in one process (a process per test spends
# most of its time starting), then the other native checks, the import checks, the
# 32-bit pass and the whole Wine suite; each ctest ends with its summary.
test: asan imports
	@build/asan/unit_tests --gtest_brief=1
	@cd build/asan && ctest --output-on-failure -j2 -LE unit
	@$(call e2e32_ctest,)
	@cd build/win && $(call e2e_ctest,) -L e2e

run: win
	@tools/demo.sh

# The installer and the portable zip, in build/dist/.
dist: win win32
	@tools/make-dist.sh

clean:
	rm -rf build
