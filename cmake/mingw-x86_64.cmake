# Cross build for 64-bit Windows with MinGW-w64. The deliverables are the 32-bit build; this one
# builds the same sources so that the Windows tests run under 64-bit Wine on machines whose kernel
# cannot execute 32-bit programs (and therefore cannot run 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
