# SPDX-License-Identifier: MIT
# Firmware loading benchmark; included by bench/CMakeLists.txt.
set(srec_cat ${KARVEL_SREC_CAT})
if(NOT srec_cat)
  set(srec_cat srec_cat)
endif()
add_executable(firmware_bench ${CMAKE_CURRENT_LIST_DIR}/firmware_bench.cpp)
target_link_libraries(firmware_bench PRIVATE karvel_firmware_test_support benchmark::benchmark)
target_compile_definitions(firmware_bench PRIVATE
  KARVEL_SREC_CAT="${srec_cat}"
  CHECK_FIRMWARE_TOOL="$<TARGET_FILE:check_firmware_tool>")
add_dependencies(firmware_bench check_firmware_tool)
if(TARGET karvel)
  target_compile_definitions(firmware_bench PRIVATE KARVEL_PROGRAM="$<TARGET_FILE:karvel>")
  add_dependencies(firmware_bench karvel)
endif()
add_dependencies(benchmarks firmware_bench)
