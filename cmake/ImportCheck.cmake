# The Windows builds' own tests (ctest in build/win and build/win32, no Wine needed):
# the product imports only what Windows XP has (tools/xp-imports.txt), and the check
# itself catches a newer import and a list entry newer than XP.
if(NOT WIN32 OR NOT TARGET Nimbrel)
  return()
endif()
enable_testing()
set(NIMBREL_CHECK_IMPORTS ${CMAKE_SOURCE_DIR}/tools/check-imports.sh)

add_test(NAME imports_Nimbrel
  COMMAND ${NIMBREL_CHECK_IMPORTS} ${CMAKE_OBJDUMP} $<TARGET_FILE:Nimbrel>)

# A program that calls GetTickCount64, which Windows Vista brought.
add_executable(imports_newer_api tests/imports/newer_api.cpp)
target_link_libraries(imports_newer_api PRIVATE nimbrel_warnings)
target_compile_definitions(imports_newer_api PRIVATE _WIN32_WINNT=0x0600)
target_link_options(imports_newer_api PRIVATE -static)
add_test(NAME imports_refuse_newer_api
  COMMAND ${NIMBREL_CHECK_IMPORTS} ${CMAKE_OBJDUMP} $<TARGET_FILE:imports_newer_api>)
set_tests_properties(imports_refuse_newer_api PROPERTIES
  PASS_REGULAR_EXPRESSION "not on the XP list: kernel32.dll GetTickCount64")

add_test(NAME imports_refuse_list_entry_newer_than_xp
  COMMAND ${NIMBREL_CHECK_IMPORTS} ${CMAKE_OBJDUMP} $<TARGET_FILE:Nimbrel>
    ${CMAKE_SOURCE_DIR}/tests/imports/vista-entry.txt)
set_tests_properties(imports_refuse_list_entry_newer_than_xp PROPERTIES
  PASS_REGULAR_EXPRESSION "GetTickCount64 needs Windows Vista, newer than Windows XP")
