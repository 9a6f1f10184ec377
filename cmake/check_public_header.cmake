# SPDX-License-Identifier: MIT
# Compiles a one-line consumer of HEADER as C99, as C11 (where the layout checks run) and as
# C++11, warnings as errors: a public header must stand on its own in both languages.
# cmake -DHEADER=karvel/x.h -DINCLUDE_DIRS=dir|dir -DC_COMPILER=cc -DCXX_COMPILER=c++ -DWORK_DIR=... -P
file(MAKE_DIRECTORY ${WORK_DIR})
set(source "#include <${HEADER}>\nint main(void) { return 0; }\n")
file(WRITE ${WORK_DIR}/consumer.c "${source}")
file(WRITE ${WORK_DIR}/consumer.cpp "${source}")
string(REPLACE "|" ";" include_dirs "${INCLUDE_DIRS}")
list(TRANSFORM include_dirs PREPEND -I)
set(strict -Wall -Wextra -Werror -pedantic-errors ${include_dirs})
foreach(form "C99;${C_COMPILER};-std=c99;consumer.c" "C11;${C_COMPILER};-std=c11;consumer.c"
             "C++11;${CXX_COMPILER};-std=c++11;consumer.cpp")
  list(POP_FRONT form language compiler standard file)
  set(command ${compiler} ${standard} ${strict} -c ${file} -o consumer.o)
  execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0 OR NOT err STREQUAL "")
    list(JOIN command " " shown)
    message(FATAL_ERROR "${HEADER} does not compile alone as ${language}:\n${shown}\n${out}${err}")
  endif()
endforeach()
