# Cross build for 64-bit Windows, used to run the Windows tests under 64-bit Wine
# on hosts whose kernel cannot run 32-bit code. The sources are the same as for
# the 32-bit programs that ship.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
