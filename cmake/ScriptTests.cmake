# The tests written in bash, registered with CTest.
# - A Windows build (build/win, build/win32): the Wine suite, tests/e2e/test_*.sh, run
#   against this build's exes. `ctest -L e2e` (or e2e32) runs them, `ctest -R browsers` one;
#   the imports checks carry the label `imports`.
# - The native build: the decisions of tools/install-deps.sh, with apt-get stubbed, and
#   the e2e driver's remote-call thunks run on the processor.
if(WIN32 AND TARGET Nimbrel)
  enable_testing()
  get_property(imports_tests DIRECTORY PROPERTY TESTS)
  list(FILTER imports_tests INCLUDE REGEX "^imports_")
  if(imports_tests)
    set_tests_properties(${imports_tests} PROPERTIES LABELS imports)
  endif()

  set(E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
  set(E2E_RUN ${CMAKE_BINARY_DIR}/e2e)
  set(NIMBREL_E2E_TIMEOUT 300 CACHE STRING "Seconds a Wine test may take before it is stopped")
  set(env E2E_RUN=${E2E_RUN} E2E_TEMPLATE=${E2E_RUN}/template
    NIMBREL_WIN_BUILD=${CMAKE_BINARY_DIR})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The 32-bit exe, which Wine tells that it runs on Windows XP: the main window, a
    # cleaning run, the temp folders, the settings dialog and the installer.
    set(label e2e32)
    set(e2e_tests test_main_window test_cleaning_run test_windows_temp test_erase_settings
      test_installer)
    list(APPEND env NIMBREL_WINVER=winxp)
  else()
    set(label e2e)
    file(GLOB e2e_tests CONFIGURE_DEPENDS RELATIVE ${E2E_DIR} ${E2E_DIR}/test_*.sh)
    list(TRANSFORM e2e_tests REPLACE "\\.sh$" "")
  endif()

  # One template prefix per ctest run, which every test copies (fixture ${label}_prefix).
  # A build whose exes Wine cannot run here (32-bit, no wine32) skips it and says why;
  # the tests then skip too (77).
  add_test(NAME ${label}_template COMMAND ${E2E_DIR}/template.sh setup)
  add_test(NAME ${label}_template_cleanup COMMAND ${E2E_DIR}/template.sh cleanup)
  set_tests_properties(${label}_template ${label}_template_cleanup PROPERTIES
    ENVIRONMENT "${env}" LABELS ${label} TIMEOUT 180 SKIP_RETURN_CODE 77)
  set_tests_properties(${label}_template PROPERTIES FIXTURES_SETUP ${label}_prefix)
  set_tests_properties(${label}_template_cleanup PROPERTIES FIXTURES_CLEANUP ${label}_prefix)

  # Each test has its own X display and its own copy of the prefix, so they share
  # nothing but the template. CTest 3.25 kills a test past its TIMEOUT outright; the
  # test is stopped 30 s before that with a signal, so that it stops its wineserver and
  # Xvfb and keeps its prefix and a screenshot of the failure.
  # The real browsers' test (test_site_data: Chromium and Firefox each run twice, each
  # run waiting for its pages) may take twice as long.
  foreach(test ${e2e_tests})
    set(limit ${NIMBREL_E2E_TIMEOUT})
    if(test STREQUAL "test_site_data")
      math(EXPR limit "${NIMBREL_E2E_TIMEOUT} * 2")
    endif()
    math(EXPR hard_limit "${limit} + 30")
    add_test(NAME ${test}
      COMMAND timeout -k 20 ${limit} bash ${E2E_DIR}/${test}.sh)
    set_tests_properties(${test} PROPERTIES
      ENVIRONMENT "${env}" LABELS ${label} TIMEOUT ${hard_limit} SKIP_RETURN_CODE 77
      FIXTURES_REQUIRED ${label}_prefix)
  endforeach()
elseif(NOT WIN32 AND NOT NIMBREL_FUZZ)
  add_test(NAME install_deps COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/install_deps_test.sh)
  set_tests_properties(install_deps PROPERTIES LABELS tools TIMEOUT 60)

  # The e2e driver's remote-call thunks, each run on the processor in a bare Linux
  # program of its architecture (no C library: none is needed for i386). The i386 one
  # is skipped where the kernel runs no 32-bit programs.
  set(thunk_dir ${CMAKE_SOURCE_DIR}/tests/e2e/driver)
  foreach(bits 32 64)
    add_custom_command(OUTPUT remote_thunk_check${bits}
      COMMAND ${CMAKE_CXX_COMPILER} -m${bits} -std=c++20 -O0 -fno-omit-frame-pointer
        -ffreestanding -fno-exceptions -fno-rtti -fno-stack-protector -fno-pie ${NIMBREL_WARNINGS}
        -nostdlib -static -no-pie -Wl,-N,--no-warn-rwx-segments
        ${thunk_dir}/remote_thunk_check.cpp -o remote_thunk_check${bits}
      DEPENDS ${thunk_dir}/remote_thunk_check.cpp ${thunk_dir}/remote_thunk.h)
  endforeach()
  add_custom_target(remote_thunk_checks ALL DEPENDS remote_thunk_check32 remote_thunk_check64)
  add_test(NAME driver_remote_thunk_x86
    COMMAND sh -c "\"$0\" || { echo 'skipped: this kernel runs no 32-bit programs'; exit 77; }; exec ./remote_thunk_check32"
      ${CMAKE_SOURCE_DIR}/tools/runs-32bit.sh)
  add_test(NAME driver_remote_thunk_x64 COMMAND remote_thunk_check64)
  set_tests_properties(driver_remote_thunk_x86 driver_remote_thunk_x64 PROPERTIES
    LABELS driver TIMEOUT 10 SKIP_RETURN_CODE 77)
endif()
