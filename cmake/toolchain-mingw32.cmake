# Cross-compiles Nimbrel.exe for 32-bit Windows with MinGW-w64: the build that runs on
# every Windows from XP SP3 on, 32-bit or 64-bit.
set(NIMBREL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
