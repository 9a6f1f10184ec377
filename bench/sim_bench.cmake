# SPDX-License-Identifier: MIT
# Round trips through SendASPI32Command on the simulated jukebox.
add_executable(sim_bench ${CMAKE_CURRENT_SOURCE_DIR}/sim_bench.cpp)
target_link_libraries(sim_bench PRIVATE wnaspi32 test_support benchmark::benchmark)
add_dependencies(benchmarks sim_bench)

# A sim line with a long full= list.
add_executable(sim_config_bench ${CMAKE_CURRENT_SOURCE_DIR}/sim_config_bench.cpp)
target_link_libraries(sim_config_bench PRIVATE aspi_layer_white_box benchmark::benchmark)
add_dependencies(benchmarks sim_config_bench)
