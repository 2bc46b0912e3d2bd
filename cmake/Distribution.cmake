# The distribution: what the zip holds and where, packed by CPack's ZIP generator.
#   Lobrine.exe, core/ (the hub and its settings), master/ and slave/ (the 32-bit bridge
#   libraries and the reference experts, for MetaTrader 4), master/mt5/ and slave/mt5/ (the
#   64-bit bridge libraries, under the same names, and the experts for MetaTrader 5), include/
#   (the experts' include files, for both), relay/ (the relay between hubs and its sample
#   settings), VERSION, SHA256SUMS.
# This tree is the 32-bit one; the 64-bit libraries come from the 64-bit tree QELV_WIN64_DIR,
# which scripts/make-dist.sh sets and builds them in.
# Shipped programs carry no debug sections: before packing, cmake/ShipFiles.cmake moves their
# debug information into a symbols zip beside the distribution's.
get_filename_component(sibling_win64 ${CMAKE_BINARY_DIR}/../win64 ABSOLUTE)
set(QELV_WIN64_DIR ${sibling_win64} CACHE PATH
    "The 64-bit build tree whose bridge libraries the distribution ships for MetaTrader 5")
install(TARGETS Lobrine RUNTIME DESTINATION . COMPONENT dist)
install(TARGETS Varnick RUNTIME DESTINATION core COMPONENT dist)
install(FILES ${PROJECT_SOURCE_DIR}/hub/qelv.xml DESTINATION core COMPONENT dist)
install(TARGETS qelv_d30or RUNTIME DESTINATION master COMPONENT dist)
install(FILES ${PROJECT_SOURCE_DIR}/experts/e-qelv-master.mq4 DESTINATION master COMPONENT dist)
install(FILES ${QELV_WIN64_DIR}/bin/qelv_d30or.dll ${PROJECT_SOURCE_DIR}/experts/e-qelv-master.mq5
        DESTINATION master/mt5 COMPONENT dist)
install(TARGETS qelv_r30uv RUNTIME DESTINATION slave COMPONENT dist)
install(FILES ${PROJECT_SOURCE_DIR}/experts/e-qelv-slave.mq4 DESTINATION slave COMPONENT dist)
install(FILES ${QELV_WIN64_DIR}/bin/qelv_r30uv.dll ${PROJECT_SOURCE_DIR}/experts/e-qelv-slave.mq5
        DESTINATION slave/mt5 COMPONENT dist)
install(TARGETS qelv_relay RUNTIME DESTINATION relay COMPONENT dist)
install(FILES ${PROJECT_SOURCE_DIR}/relay/qelv-relay.xml DESTINATION relay COMPONENT dist)
install(FILES ${PROJECT_SOURCE_DIR}/master/qelv_d30or.mqh ${PROJECT_SOURCE_DIR}/slave/qelv_r30uv.mqh
        DESTINATION include COMPONENT dist)
file(WRITE ${CMAKE_BINARY_DIR}/VERSION "${PROJECT_VERSION}\n")
# SHA256SUMS is listed here so that it is packed; ShipFiles.cmake writes its content.
file(TOUCH ${CMAKE_BINARY_DIR}/SHA256SUMS)
install(FILES ${CMAKE_BINARY_DIR}/VERSION ${CMAKE_BINARY_DIR}/SHA256SUMS DESTINATION . COMPONENT dist)

# Packing needs the five programs built (and the 64-bit tree's two libraries), not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR ZIP)
# Packed as one component, the zip lists its entries in the order of the rules above rather than
# in the order a folder happens to be read.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL dist)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_DIST_FILE_NAME qelv-${PROJECT_VERSION})
set(CPACK_PACKAGE_NAME qelv)
set(CPACK_PACKAGE_FILE_NAME qelv-${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
# The 64-bit objcopy strips both bitnesses (the 32-bit programs to the same bytes as the 32-bit
# objcopy does).
find_program(QELV_OBJCOPY x86_64-w64-mingw32-objcopy REQUIRED)
set(CPACK_OBJCOPY ${QELV_OBJCOPY})
set(CPACK_SHIPPED_PROGRAMS Lobrine.exe core/Varnick.exe master/qelv_d30or.dll
                            master/mt5/qelv_d30or.dll slave/qelv_r30uv.dll slave/mt5/qelv_r30uv.dll
                            relay/qelv_relay.exe)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/ShipFiles.cmake)
include(CPack)
