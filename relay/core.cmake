# The relay's portable core: MQTT packets and session, the signed envelope, the settings and the
# role logic. Built natively for its tests and into the Windows program.
set(relay_decoder_sources mqtt_packet.cpp relay_envelope.cpp sha256_digest.cpp)
add_library(qelv_relay_core STATIC
  ${relay_decoder_sources} mqtt_session.cpp relay_settings.cpp certificate_pin.cpp image_set_cut.cpp
  relay_plan.cpp one_image.cpp)
target_include_directories(qelv_relay_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qelv_relay_core PUBLIC qelv_protocol qelv_common PRIVATE qelv_slave_model)

# The program's portable parts: its log, status rows, publisher and sequence file, whose one step
# of replacing a file each system takes its own way.
if(WIN32)
  set(relay_atomic_file atomic_file_win.cpp)
else()
  set(relay_atomic_file atomic_file_posix.cpp)
endif()
add_library(qelv_relay_program STATIC
  relay_log.cpp relay_status.cpp relay_publisher.cpp sequence_file.cpp ${relay_atomic_file})
target_include_directories(qelv_relay_program PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qelv_relay_program PUBLIC qelv_relay_core)

# The frame reader, the packet decoders and the envelope parser, instrumented for the fuzz
# target's coverage.
qelv_fuzz_library(qelv_relay_decoders_fuzz SOURCES ${relay_decoder_sources})
