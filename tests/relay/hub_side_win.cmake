# The relay toward a real Varnick.exe under Wine, and the check of the images it injects.
# The real hub the relay's tests read from, for these tests and the whole relay's.
add_library(qelv_relay_hub_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/hub_side_fixture_win.cpp)
target_include_directories(qelv_relay_hub_fixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qelv_relay_hub_fixture PUBLIC qelv_relay_hub_win qelv_master_image
                      qelv_test_support)

qelv_test(relay_hub_side_win_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hub_subscription_win_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/remote_masters_win_test.cpp
  LIBS qelv_relay_hub_fixture)
add_dependencies(relay_hub_side_win_tests Varnick)
