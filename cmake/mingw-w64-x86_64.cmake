# Cross-building the Windows program with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64 and binutils-mingw-w64-x86-64): a 64-bit Windows target,
# its compilers and the sysroot where the Windows headers and libraries live.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARVELLE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARVELLE_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${QUARVELLE_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${QUARVELLE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARVELLE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
