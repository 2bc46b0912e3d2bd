# Run by CPack on the installed distribution, before it is zipped: the programs lose their debug
# sections to a symbols zip beside the distribution's (each keeps a debug link to its symbols
# file, so a crash address can still be resolved; those of the 64-bit libraries, which share
# their names with the 32-bit ones, lie in its mt5/), SHA256SUMS lists every file, and every
# entry gets the same time, SOURCE_DATE_EPOCH (the commit's time, from make-dist.sh), so that the zip
# is the same bytes wherever and whenever it is built.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  set(epoch 315532800)  # 1980-01-01, the earliest time a zip entry can hold
endif()
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*Lobrine.exe")
list(LENGTH programs found)
if(NOT found EQUAL 1)
  message(FATAL_ERROR "ShipFiles: no single Lobrine.exe under ${CPACK_TEMPORARY_DIRECTORY}")
endif()
get_filename_component(root "${programs}" DIRECTORY)

set(symbols "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-symbols")
file(REMOVE_RECURSE "${symbols}")
file(MAKE_DIRECTORY "${symbols}")
foreach(program IN LISTS CPACK_SHIPPED_PROGRAMS)
  get_filename_component(name "${program}" NAME)
  # Below the program's top folder as the program is: master/mt5/qelv_d30or.dll's in mt5/,
  # core/Varnick.exe's at the top.
  string(REGEX REPLACE "^[^/]*/(.*)" "\\1" debug "${program}.debug")
  get_filename_component(folder "${symbols}/${debug}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  set(file "${root}/${program}")
  execute_process(COMMAND "${CPACK_OBJCOPY}" --only-keep-debug "${file}" "${symbols}/${debug}"
                  COMMAND_ERROR_IS_FATAL ANY)
  # The debug link names the symbols file and carries its checksum; objcopy reads it from the
  # working folder.
  execute_process(COMMAND "${CPACK_OBJCOPY}" --strip-all --add-gnu-debuglink=${name}.debug "${file}"
                  WORKING_DIRECTORY "${folder}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(GLOB_RECURSE files RELATIVE "${root}" "${root}/*")
list(REMOVE_ITEM files SHA256SUMS)
list(SORT files)
set(sums "")
foreach(f IN LISTS files)
  file(SHA256 "${root}/${f}" hash)
  string(APPEND sums "${hash} *${f}\n")
endforeach()
file(WRITE "${root}/SHA256SUMS" "${sums}")

foreach(tree "${CPACK_TEMPORARY_DIRECTORY}" "${symbols}")
  execute_process(COMMAND find "${tree}" -type d -exec chmod 755 {} +)
  execute_process(COMMAND find "${tree}" -exec touch -h -d @${epoch} {} +)
endforeach()
set(zip "${symbols}.zip")
file(REMOVE "${zip}")
file(GLOB_RECURSE debug_files RELATIVE "${symbols}" "${symbols}/*.debug")
list(SORT debug_files)
# Info-ZIP without extra fields: only the entries' times, no access times nor owners.
execute_process(COMMAND zip -X -D -q "${zip}" ${debug_files}
                WORKING_DIRECTORY "${symbols}" COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${symbols}")
