# SPDX-License-Identifier: MIT
# Installing one of the shared libraries: its versioned file and SONAME, its public header
# under include/karvel/, its pkg-config module, its place in the CMake package `Karvel`, and
# a test that the header compiles on its own as C99 and as C++.

# karvel_install_library(TARGET HEADER include/karvel/x.h DESCRIPTION "..." [REQUIRES module...])
function(karvel_install_library target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "HEADER;DESCRIPTION" "REQUIRES")
  set_target_properties(${target} PROPERTIES
    VERSION ${KARVEL_LIBRARY_VERSION} SOVERSION ${KARVEL_LIBRARY_SOVERSION})
  # The compiler links with --as-needed, and a library that calls nothing of libc directly
  # would lose it; but its C++ runtime's weak __cxa_finalize must bind to libc, or the
  # library's static destructors do not run when it is unloaded.
  target_link_options(${target} PRIVATE "LINKER:--push-state,--no-as-needed,-lc,--pop-state")
  if(DEFINED KARVEL_LIBRARY_INSTALL_RPATH)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${KARVEL_LIBRARY_INSTALL_RPATH}")
  endif()
  install(TARGETS ${target} EXPORT KarvelTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${arg_HEADER} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/karvel)
  karvel_install_pkg_config(${target} "${arg_DESCRIPTION}" "${arg_REQUIRES}")

  # The header's folder and those of the libraries it builds on (theirs are set up first).
  set(include_dirs ${CMAKE_CURRENT_SOURCE_DIR}/include)
  foreach(required IN LISTS arg_REQUIRES)
    get_target_property(required_dirs ${required} KARVEL_PUBLIC_INCLUDE_DIRS)
    list(APPEND include_dirs ${required_dirs})
  endforeach()
  list(REMOVE_DUPLICATES include_dirs)
  set_target_properties(${target} PROPERTIES KARVEL_PUBLIC_INCLUDE_DIRS "${include_dirs}")
  list(JOIN include_dirs "|" include_dirs_text)
  get_filename_component(header_name ${arg_HEADER} NAME)
  add_test(NAME ${target}_header_compiles_alone
    COMMAND ${CMAKE_COMMAND} -DHEADER=karvel/${header_name}
      -DINCLUDE_DIRS=${include_dirs_text}
      -DC_COMPILER=${CMAKE_C_COMPILER} -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
      -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/${target}_header_test
      -P ${PROJECT_SOURCE_DIR}/cmake/check_public_header.cmake)
endfunction()

# The module's prefix is written when it is installed, so `cmake --install --prefix P`
# gets a module that points into P.
function(karvel_install_pkg_config name description requires)
  foreach(kind LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
      set(dir_${kind} "${CMAKE_INSTALL_${kind}}")
    else()
      set(dir_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
    endif()
  endforeach()
  set(text "prefix=@KARVEL_PC_PREFIX@\nlibdir=${dir_LIBDIR}\nincludedir=${dir_INCLUDEDIR}\n\n")
  string(APPEND text "Name: ${name}\nDescription: ${description}\nVersion: ${PROJECT_VERSION}\n")
  if(requires)
    list(JOIN requires ", " requires_text)
    string(APPEND text "Requires: ${requires_text}\n")
  endif()
  string(APPEND text "Libs: -L\${libdir} -l${name}\nCflags: -I\${includedir}\n")
  set(template ${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/${name}.pc.in)
  set(module ${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/${name}.pc)
  file(WRITE ${template} "${text}")
  install(CODE "set(KARVEL_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
configure_file(\"${template}\" \"${module}\" @ONLY)")
  install(FILES ${module} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# karvel_install_man_page(PAGE SECTION): installs a manual page and tests that groff renders
# it without a warning.
function(karvel_install_man_page page section)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  get_filename_component(name ${page} NAME)
  string(MAKE_C_IDENTIFIER ${name} test_name)
  add_test(NAME man_page_${test_name}_renders
    COMMAND ${CMAKE_COMMAND} -DEXPECT=. -P ${PROJECT_SOURCE_DIR}/cmake/check_command_output.cmake --
      groff -ww -man -Tutf8 ${CMAKE_CURRENT_SOURCE_DIR}/${page})
endfunction()
