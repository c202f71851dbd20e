# The same sources as 64-bit Windows: the twin that the Wine tests run on every
# machine, also where the kernel cannot run 32-bit code (and so not the
# shipped exe).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
