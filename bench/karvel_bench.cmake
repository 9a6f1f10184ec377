# SPDX-License-Identifier: MIT
# karvel: process start to the first painted view, and the commands and time of one refresh.
add_executable(karvel_startup_bench ${CMAKE_CURRENT_SOURCE_DIR}/karvel_startup_bench.cpp)
target_link_libraries(karvel_startup_bench PRIVATE karvel_app_white_box test_support benchmark::benchmark)
add_dependencies(benchmarks karvel_startup_bench)

add_executable(karvel_refresh_bench ${CMAKE_CURRENT_SOURCE_DIR}/karvel_refresh_bench.cpp)
target_link_libraries(karvel_refresh_bench PRIVATE karvel_scripted_changer benchmark::benchmark)
add_dependencies(benchmarks karvel_refresh_bench)
