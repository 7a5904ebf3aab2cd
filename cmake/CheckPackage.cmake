# Makes the Windows package with cpack in a Windows build directory and checks
# it: the zip is named after the version and holds exactly Tolvane.exe,
# README.md and LICENSE, and the program carries its version resource.
# Usage: cmake -DDIR=<Windows build directory> -DVERSION=<x.y.z> -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${CMAKE_CPACK_COMMAND} WORKING_DIRECTORY ${DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()

set(zip ${DIR}/Tolvane-${VERSION}-win64.zip)
if(NOT EXISTS ${zip})
  message(FATAL_ERROR "no ${zip}:\n${output}")
endif()

set(contents ${DIR}/package-contents)
file(REMOVE_RECURSE ${contents})
file(MAKE_DIRECTORY ${contents})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${contents}
                RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "cannot unpack ${zip}")
endif()
file(GLOB_RECURSE names RELATIVE ${contents} ${contents}/*)
list(SORT names)
if(NOT names STREQUAL "LICENSE;README.md;Tolvane.exe")
  message(FATAL_ERROR "${zip} holds: ${names}")
endif()

file(STRINGS ${contents}/Tolvane.exe texts ENCODING UTF-16LE LENGTH_MINIMUM 4)
foreach(expected ProductName Tolvane ProductVersion FileVersion FileDescription ${VERSION})
  list(FIND texts ${expected} at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the version resource of Tolvane.exe lacks \"${expected}\"")
  endif()
endforeach()
message(STATUS "${zip}: ${names}, version ${VERSION}")
