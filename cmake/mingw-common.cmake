# Shared by the MinGW-w64 toolchain files: cross-compiles for Windows with Debian's compilers of
# the posix thread model (so the standard library's threads and mutexes work).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TALLOWMERE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLOWMERE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLOWMERE_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${TALLOWMERE_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TALLOWMERE_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot and from the prefixes given on the command
# line (the cross-built Qt and SQLite); programs are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${TALLOWMERE_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
