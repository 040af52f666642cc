# Cross-compiles Nimbrel.exe for 64-bit Windows with MinGW-w64 (toolchain-mingw32.cmake
# sets the triple and processor for the 32-bit build first).
if(NOT NIMBREL_MINGW_TRIPLE)
  set(NIMBREL_MINGW_TRIPLE x86_64-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
# The win32 thread model: the posix one pulls in imports newer than XP.
set(CMAKE_C_COMPILER ${NIMBREL_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${NIMBREL_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${NIMBREL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NIMBREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
