# The relay's portable core, natively and under Wine.
qelv_test(relay_core_tests
  SOURCES mqtt_packet_test.cpp mqtt_session_test.cpp relay_envelope_test.cpp
          relay_settings_test.cpp relay_plan_test.cpp certificate_pin_test.cpp one_image_test.cpp
  LIBS qelv_relay_core qelv_master_image LABELS relay)

# The program's portable parts: its log, publisher, status rows and sequence file.
qelv_test(relay_program_tests SOURCES relay_log_test.cpp relay_publisher_test.cpp sequence_file_test.cpp
          LIBS qelv_relay_program PREFIX relay.)

qelv_fuzz(relay_decoders_fuzz SOURCES relay_decoders_fuzz.cpp LIBS qelv_relay_decoders_fuzz
          CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/decoders SECONDS 15)
