# SPDX-License-Identifier: MIT
# Tests of the operator's commands and their dialogs: exact commands on the scripted changer,
# real effects on the simulated jukebox (one sim line per process, so one executable each for
# a jukebox without delays and one with a slow picker), and real media on tgt.
add_executable(karvel_commands_tests
  ${CMAKE_CURRENT_LIST_DIR}/command_dialogs_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/element_status_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/target_commands_test.cpp
)
target_link_libraries(karvel_commands_tests PRIVATE karvel_scripted_changer)
gtest_discover_tests(karvel_commands_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

foreach(name sim_commands sim_slow_picker)
  add_executable(karvel_${name}_test ${CMAKE_CURRENT_LIST_DIR}/${name}_test.cpp)
  target_link_libraries(karvel_${name}_test PRIVATE karvel_app_test_support aspi_layer_white_box)
  # The jukebox's state has members named like Qt's "slots" keyword.
  target_compile_definitions(karvel_${name}_test PRIVATE QT_NO_KEYWORDS)
  gtest_discover_tests(karvel_${name}_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endforeach()

# On tgt, a standard SMC changer (needs root for tgtd).
add_executable(karvel_tgt_commands_test ${CMAKE_CURRENT_LIST_DIR}/tgt_commands_test.cpp)
target_link_libraries(karvel_tgt_commands_test PRIVATE karvel_app_test_support tgt_changer)
gtest_discover_tests(karvel_tgt_commands_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120 LABELS tgt)
