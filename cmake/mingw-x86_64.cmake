# 64-bit Windows: the same sources, for running the tests where Wine cannot run 32-bit programs
# (a kernel without 32-bit support).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALLOWMERE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
