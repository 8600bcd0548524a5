# Cross build of the same sources for 64-bit Windows: the test build on machines that
# cannot run 32-bit programs (tools/can-run-32bit.sh). What ships is the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
