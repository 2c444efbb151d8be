# Cross-compiles the game for 32-bit Windows with Debian's mingw-w64 tools
# (packages g++-mingw-w64-i686 and binutils-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TUMBLA_MINGW_PREFIX i686-w64-mingw32)
# Debian installs the compilers under a thread-model suffix; the game starts
# no threads, so either model serves.
find_program(CMAKE_C_COMPILER NAMES ${TUMBLA_MINGW_PREFIX}-gcc-posix ${TUMBLA_MINGW_PREFIX}-gcc-win32
                                    ${TUMBLA_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TUMBLA_MINGW_PREFIX}-g++-posix ${TUMBLA_MINGW_PREFIX}-g++-win32
                                      ${TUMBLA_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TUMBLA_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TUMBLA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
