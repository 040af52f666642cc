# Sourced by the benches: what they set up alike. $root is the repository.

# bench_erase_exe [PATH]: sets exe to PATH, or to erase_bench.exe built in Release
# with CMake under $work/build when no PATH is given.
bench_erase_exe() {
  if [ $# -ge 1 ]; then
    exe=$(readlink -f "$1")
    return
  fi
  local build="$work/build"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target erase_bench -j2 >/dev/null
  exe="$build/erase_bench.exe"
}

# bench_window_session NAME BIN PREFIX: for the benches that drive the real window. The
# end-to-end tests' helpers (which report their own failures, so errexit goes off), a
# fresh work folder removed on exit, an Xvfb of its own, and at $work/PREFIX a prefix
# of BIN's exes as the end-to-end harness makes it.
bench_window_session() {
  export E2E_SOURCED_BY_RUNNER=1
  # shellcheck source=../tests/e2e/lib.sh
  . "$root/tests/e2e/lib.sh"
  set +e
  work=$(mktemp -d "/tmp/nimbrel-$1.XXXXXX")
  E2E_RUN=$work
  E2E_DIR=$work
  trap bench_window_cleanup EXIT
  e2e_start_xvfb "$work/xvfb.log" || exit 1
  e2e_write_fake_browser "$work/fake-browser"
  e2e_make_prefix "$work/$3" "$2" "$work/fake-browser" || exit 1
  e2e_use_loader "$2"
}

bench_window_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  e2e_stop_xvfb
  rm -rf "$work"
}

