# 32-bit Windows, the program's platform: the pass-through request's 80-byte layout and the ASPI
# request blocks hold only here. The tests run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KV_MINGW_PREFIX i686-w64-mingw32)
set(KV_WINE_RUNNER wine-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
