# The relay toward the local hub: a slave that follows the hub's set, and the remote masters
# registered with it.
add_library(qelv_relay_hub_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/link_thread_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hub_subscription_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/remote_masters_win.cpp)
target_include_directories(qelv_relay_hub_win PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qelv_relay_hub_win PUBLIC qelv_relay_core qelv_protocol_win)
