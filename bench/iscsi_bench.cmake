# SPDX-License-Identifier: MIT
# The iSCSI path through SendASPI32Command against a plain libiscsi loop, on tgt (needs root).
add_executable(iscsi_bench ${CMAKE_CURRENT_SOURCE_DIR}/iscsi_bench.cpp)
target_link_libraries(iscsi_bench PRIVATE wnaspi32 tgt_changer PkgConfig::LIBISCSI benchmark::benchmark)
add_dependencies(benchmarks iscsi_bench)
