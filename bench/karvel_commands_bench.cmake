# SPDX-License-Identifier: MIT
# karvel's commands on the simulated jukebox: processor time while the changer works, and a
# Reset of the largest jukebox.
add_executable(karvel_commands_bench ${CMAKE_CURRENT_SOURCE_DIR}/karvel_commands_bench.cpp)
target_link_libraries(karvel_commands_bench PRIVATE karvel_app_test_support aspi_layer_white_box benchmark::benchmark)
# The jukebox's state has members named like Qt's "slots" keyword.
target_compile_definitions(karvel_commands_bench PRIVATE QT_NO_KEYWORDS)
add_dependencies(benchmarks karvel_commands_bench)
