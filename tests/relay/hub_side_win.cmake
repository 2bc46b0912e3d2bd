# The relay toward a real Varnick.exe under Wine, and the check of the images it injects.
qelv_test(relay_hub_side_win_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hub_side_fixture_win.cpp
          ${CMAKE_CURRENT_LIST_DIR}/hub_subscription_win_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/remote_masters_win_test.cpp
  LIBS qelv_relay_hub_win qelv_master_image qelv_test_support)
add_dependencies(relay_hub_side_win_tests Varnick)
