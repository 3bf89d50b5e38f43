# 64-bit Windows build; its programs run under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLOWBY_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

get_filename_component(QUILLOWBY_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLOWBY_WINE_RUN})
