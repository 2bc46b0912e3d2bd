# The relay program under Wine: whole relays between two real hubs over brokers of each test's
# own, which it ends and starts again.

qelv_test(relay_program_win_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/relay_program_win_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/relay_program_fixture_win.cpp
  LIBS qelv_relay_program qelv_relay_broker_win qelv_relay_hub_fixture PREFIX relay.)
add_dependencies(relay_program_win_tests qelv_relay Varnick)
target_compile_definitions(relay_program_win_tests PRIVATE
  QELV_RELAY_PROGRAM_DIR="${CMAKE_CURRENT_BINARY_DIR}"
  QELV_OWN_BROKER_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/own-broker.sh")
