# Makes the Windows package in a Windows build directory (its "package" target)
# and checks it: the zip is named after the version and holds exactly
# Tolvane.exe, README.txt and LICENSE, the readme is text that Notepad shows
# well (README.md as plain text, CR LF line ends), the program carries its version resource
# and is the build's own, and SHA256SUMS holds the right sums of the zip and of
# Tolvane.exe.
# Usage: cmake -DDIR=<Windows build directory> -DVERSION=<x.y.z> -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${CMAKE_COMMAND} --build ${DIR} --target package
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result)
  message(FATAL_ERROR "building the package failed:\n${output}")
endif()

set(release ${DIR}/release)
set(zip_name Tolvane-${VERSION}-win64.zip)
set(zip ${release}/${zip_name})
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
if(NOT names STREQUAL "LICENSE;README.txt;Tolvane.exe")
  message(FATAL_ERROR "${zip} holds: ${names}")
endif()
foreach(name ${names})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${contents}/${name} ${release}/${name}
                  RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "${name} in ${zip} differs from ${release}/${name}")
  endif()
endforeach()

# Plain text for Notepad: no Markdown is left, and every line ends in CR LF
# (file(READ) drops the CRs, so the file is one byte longer per line).
file(READ ${contents}/README.txt text)
string(REGEX MATCH "```|\\]\\(|\\*\\*|`" markdown "${text}")
string(LENGTH "${text}" length)
string(REGEX REPLACE "[^\n]" "" ends "${text}")
string(LENGTH "${ends}" count)
file(SIZE ${contents}/README.txt size)
math(EXPR length "${length} + ${count}")
if(NOT markdown STREQUAL "" OR NOT size EQUAL length OR NOT text MATCHES "Quick start")
  message(FATAL_ERROR "README.txt is not plain text with CR LF line ends: '${markdown}'")
endif()

file(STRINGS ${contents}/Tolvane.exe texts ENCODING UTF-16LE LENGTH_MINIMUM 4)
foreach(expected ProductName Tolvane ProductVersion FileVersion FileDescription ${VERSION})
  list(FIND texts ${expected} at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the version resource of Tolvane.exe lacks \"${expected}\"")
  endif()
endforeach()

file(SHA256 ${zip} zip_hash)
file(SHA256 ${contents}/Tolvane.exe program_hash)
file(READ ${release}/SHA256SUMS sums)
if(NOT sums STREQUAL "${zip_hash}  ${zip_name}\n${program_hash}  Tolvane.exe\n")
  message(FATAL_ERROR "${release}/SHA256SUMS does not match:\n${sums}")
endif()
message(STATUS "${zip}: ${names}, version ${VERSION}, SHA256SUMS right")
