# SPDX-License-Identifier: MIT
# Runs a command and passes when it exits 0, writes nothing on stderr and its whole stdout
# matches EXPECT (a regular expression).
# cmake -DEXPECT=REGEX -P check_command_output.cmake -- COMMAND [ARGUMENT...]
set(command)
set(seen_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 1 ${last})
  if(seen_separator)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(seen_separator TRUE)
  endif()
endforeach()
execute_process(COMMAND ${command} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "${EXPECT}")
  list(JOIN command " " shown)
  message(FATAL_ERROR "${shown}\nexit: ${result}\nstdout:\n${out}\nstderr:\n${err}\nexpected stdout: ${EXPECT}")
endif()
