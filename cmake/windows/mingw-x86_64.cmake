# 64-bit Windows, for running the Windows tests where 32-bit Wine cannot run (a kernel without
# 32-bit program support). The same sources; the request blocks take their natural 64-bit layout,
# which the layout checks and tests follow. The program shipped is the 32-bit one.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KV_MINGW_PREFIX x86_64-w64-mingw32)
set(KV_WINE_RUNNER wine64-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
