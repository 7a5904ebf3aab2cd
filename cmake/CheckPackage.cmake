# Makes the Windows package in a Windows build directory (its "package" target)
# and checks it: the zip is named after the version and holds exactly
# Tolvane.exe, README.txt and LICENSE, the readme is text that Notepad shows
# well (plain text, ASCII or UTF-8 with a byte order mark, naming nothing that
# the zip lacks), both texts have CR LF line ends, the program carries its
# version resource and is the build's own, and SHA256SUMS holds the right sums of the zip and of
# Tolvane.exe.
# Usage: cmake -DDIR=<Windows build directory> -DVERSION=<x.y.z>
#              -DDESCRIPTION=<the file description> -P CheckPackage.cmake
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

# The bytes of a file, each as a space and two hex digits, so that a pattern
# that starts with a space matches whole bytes alone.
function(bytes_of name out)
  file(READ ${contents}/${name} hex HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Every line ends in CR LF: as many CRs and LFs as CR LF pairs.
foreach(name README.txt LICENSE)
  bytes_of(${name} bytes)
  string(REGEX MATCHALL " 0d 0a" pairs "${bytes}")
  string(REGEX MATCHALL " 0d" returns "${bytes}")
  string(REGEX MATCHALL " 0a" feeds "${bytes}")
  list(LENGTH pairs pair_count)
  list(LENGTH returns return_count)
  list(LENGTH feeds feed_count)
  if(pair_count EQUAL 0 OR NOT return_count EQUAL pair_count OR NOT feed_count EQUAL pair_count)
    message(FATAL_ERROR "${name} has lines that do not end in CR LF")
  endif()
endforeach()

# ASCII, or UTF-8 marked as such: Notepad before Windows 10 1903 takes text
# without the mark for the ANSI code page.
bytes_of(README.txt bytes)
string(REGEX MATCH " [89a-f]" above_ascii "${bytes}")
if(NOT above_ascii STREQUAL "" AND NOT bytes MATCHES "^ ef bb bf")
  message(FATAL_ERROR "README.txt is neither ASCII nor UTF-8 with a byte order mark")
endif()

# Plain text for Notepad: no Markdown is left (no heading marks, code fences,
# links, bold marks but those that Tolvane prints, backticks or comments), and
# nothing is named that the zip does not hold.
file(READ ${contents}/README.txt text)
string(REGEX REPLACE "\\*\\*(ERROR|Error)\\*\\*" "" words "${text}")
string(REGEX MATCH "(^|\n)#|```|\\]\\(|\\*\\*|`|<!--" markdown "${words}")
string(REGEX MATCH "docs[/\\]|CHANGELOG|README\\.md|this repository" elsewhere "${text}")
if(NOT markdown STREQUAL "" OR NOT elsewhere STREQUAL "" OR NOT text MATCHES "Quick start")
  message(FATAL_ERROR "README.txt is not plain text naming only the zip's files: "
                      "'${markdown}' '${elsewhere}'")
endif()

file(STRINGS ${contents}/Tolvane.exe texts ENCODING UTF-16LE LENGTH_MINIMUM 4)
foreach(expected ProductName Tolvane ProductVersion FileVersion FileDescription ${VERSION}
                 "${DESCRIPTION}")
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
