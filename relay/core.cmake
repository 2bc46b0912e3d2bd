# The relay's portable core: MQTT packets and session, the signed envelope, the settings and the
# role logic. Built natively for its tests and into the Windows program.
add_library(qelv_relay_core STATIC
  mqtt_packet.cpp mqtt_session.cpp relay_envelope.cpp relay_settings.cpp image_set_cut.cpp relay_plan.cpp)
target_include_directories(qelv_relay_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qelv_relay_core PUBLIC qelv_protocol qelv_common)
