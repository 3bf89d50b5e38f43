# 32-bit Windows build. Only compiled, never run: the Wine here runs 64-bit programs only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILLOWBY_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
