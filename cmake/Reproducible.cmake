# The same commit gives the same bytes wherever and whenever it is built: no checkout folder in
# the binaries (their debug information names sources relative to it, the build tree being
# build/win32 inside it) and no time stamp in their PE headers.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
add_link_options(-Wl,--no-insert-timestamp)

# Version numbers for the resource files, from project().
configure_file(${CMAKE_CURRENT_LIST_DIR}/qelv_version.h.in ${CMAKE_BINARY_DIR}/qelv_version.h @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}")
