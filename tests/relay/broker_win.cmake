# The relay's ends toward the broker, under Wine: the hashes against published vectors, the
# transports against a real broker started for the tests on loopback ports.
set(relay_broker_dir ${CMAKE_CURRENT_BINARY_DIR}/broker)
add_test(NAME relay_broker_start COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/test-broker.sh start ${relay_broker_dir})
add_test(NAME relay_broker_stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/test-broker.sh stop ${relay_broker_dir})
# The broker's tests run in the Wine session: its start and stop are inside it.
set_tests_properties(relay_broker_start PROPERTIES FIXTURES_SETUP relay_broker FIXTURES_REQUIRED wine)
set_tests_properties(relay_broker_stop PROPERTIES FIXTURES_CLEANUP relay_broker FIXTURES_REQUIRED wine)

qelv_test(relay_hash_win_tests SOURCES hmac_sha256_win_test.cpp
          LIBS qelv_relay_broker_win PREFIX relay.)

qelv_test(relay_broker_win_tests
  SOURCES broker_transport_win_test.cpp broker_test_mqtt.cpp
  LIBS qelv_relay_broker_win PREFIX relay. FIXTURE relay_broker)
# The broker's folder by Wine's name for it.
target_compile_definitions(relay_broker_win_tests PRIVATE QELV_RELAY_BROKER_DIR="Z:${relay_broker_dir}/")
