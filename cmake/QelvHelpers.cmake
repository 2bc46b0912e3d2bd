# Small helpers shared by the subsystems' CMake files.

# qelv_test(NAME SOURCES... LIBS libs... [LABELS l...] [PREFIX p] [FIXTURE f]): a GoogleTest
# program whose tests ctest runs one by one, their names starting with PREFIX. Windows test
# programs run under Wine through the cross-compiling emulator, inside the test run's Wine
# session (fixture `wine`); a FIXTURE given instead must require `wine` itself, as the test
# discovery passes one fixture only.
function(qelv_test name)
  cmake_parse_arguments(T "" "PREFIX;FIXTURE" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  set(properties "")
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  if(WIN32)
    # Tests stay out of bin/, which holds the deliverables (tests/support says where it is).
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    if(NOT T_FIXTURE)
      set(T_FIXTURE wine)
    endif()
  endif()
  if(T_FIXTURE)
    list(APPEND properties FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 180 DISCOVERY_MODE PRE_TEST TEST_PREFIX "${T_PREFIX}"
                       PROPERTIES ${properties})
endfunction()

# qelv_fuzz(NAME SOURCES... LIBS libs... CORPUS dir SECONDS n): a libFuzzer target (clang only),
# run by ctest for a bounded time over its committed corpus.
function(qelv_fuzz name)
  cmake_parse_arguments(F "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT QELV_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  # The committed corpus is read only; new finds go to a scratch folder in the build tree.
  set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                   $<TARGET_FILE:${name}> -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048
                   -print_final_stats=0 -artifact_prefix=${scratch}/ ${scratch} ${F_CORPUS})
  set_tests_properties(${name} PROPERTIES LABELS fuzz)
  file(MAKE_DIRECTORY ${scratch})
endfunction()

# qelv_fuzz_library(NAME SOURCES... LIBS libs...): a folder's sources built once more with
# coverage instrumentation, for the fuzz targets that exercise them (clang only).
function(qelv_fuzz_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QELV_FUZZ)
    return()
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

# qelv_bridge_library(NAME DEF file DESCRIPTION text SOURCES... LIBS...): a bridge library whose
# exports carry exactly the undecorated names of its .def file, with a version block. The .def
# maps each name to its __stdcall symbol (name@bytes) for 32-bit Windows, which also proves each
# export's argument size at link time; 64-bit Windows has no such decoration, so the sizes are
# dropped there.
function(qelv_bridge_library name)
  cmake_parse_arguments(B "" "DEF;DESCRIPTION" "SOURCES;LIBS" ${ARGN})
  set(def ${CMAKE_CURRENT_SOURCE_DIR}/${B_DEF})
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    file(READ ${def} text)
    string(REGEX REPLACE "@[0-9]+" "" text "${text}")
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
    file(WRITE ${def} "${text}")
  endif()
  if(NOT B_DESCRIPTION)
    set(B_DESCRIPTION "${name}")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/library_version.rc.in ${rc} @ONLY)
  add_library(${name} SHARED ${B_SOURCES} ${def} ${rc})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
endfunction()
