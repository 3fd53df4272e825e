# 32-bit Windows, the programs' own target.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TALLOWMERE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
