# The relay's ends toward the broker: TCP and WebSocket transports, and the signature's hashes.
add_library(qelv_relay_broker_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tcp_transport_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/websocket_transport_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/broker_connection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hmac_sha256_win.cpp)
target_include_directories(qelv_relay_broker_win PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qelv_relay_broker_win PUBLIC qelv_relay_core qelv_common_win ws2_32 winhttp bcrypt crypt32)
