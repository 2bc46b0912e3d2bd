# The relay program: the running relay and its status window, over its portable parts
# (qelv_relay_program, in core.cmake).
add_library(qelv_relay_program_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/relay_engine_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/relay_status_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/relay_app_win.cpp)
target_link_libraries(qelv_relay_program_win PUBLIC qelv_relay_program qelv_relay_broker_win
                      qelv_relay_hub_win qelv_common_win user32)

add_executable(qelv_relay WIN32 ${CMAKE_CURRENT_LIST_DIR}/relay_main_win.cpp
               ${CMAKE_CURRENT_LIST_DIR}/qelv_relay.rc)
target_link_libraries(qelv_relay PRIVATE qelv_relay_program_win)
# bin/ gets the commented sample settings beside the program.
add_custom_command(TARGET qelv_relay POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/qelv-relay.xml
          $<TARGET_FILE_DIR:qelv_relay>/qelv-relay.xml)
