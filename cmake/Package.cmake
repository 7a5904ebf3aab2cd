# Makes the Windows package, byte for byte the same from every build of one
# commit, wherever and whenever it is built:
#   OUTPUT/NAME.zip   Tolvane.exe, README.txt and LICENSE
#   OUTPUT/...        the same three files, as the zip unpacks them
#   OUTPUT/SHA256SUMS the zip's and Tolvane.exe's SHA-256, as sha256sum writes
#                     them, so that "sha256sum -c SHA256SUMS" checks both
# README.txt is README.md as plain text with CR LF line ends, which every
# Notepad shows as lines. The zip's entries are in a fixed order, with fixed permissions (0644) and one
# time for all: SOURCE_DATE_EPOCH when it is set, otherwise the time of the
# commit being built, otherwise 2026-01-01. No owner, group or extended time
# is stored (zip -X), and the time is taken as UTC.
# Usage: cmake -DSOURCE=<source dir> -DPROGRAM=<Tolvane.exe> -DOUTPUT=<dir>
#              -DNAME=<zip name without .zip> -P Package.cmake
cmake_minimum_required(VERSION 3.25)

foreach(variable SOURCE PROGRAM OUTPUT NAME)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "Package.cmake needs -D${variable}=...")
  endif()
endforeach()

find_program(ZIP zip)
find_program(TOUCH touch)
if(NOT ZIP OR NOT TOUCH)
  message(FATAL_ERROR "Package.cmake needs zip and touch (Debian: zip, coreutils)")
endif()

# The one time of every entry.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  set(epoch "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE result)
    if(result)
      set(epoch "")
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch 1767225600)  # 2026-01-01 00:00:00 UTC
  endif()
endif()

set(files Tolvane.exe README.txt LICENSE)  # the order of the zip's entries
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
file(COPY_FILE ${PROGRAM} ${OUTPUT}/Tolvane.exe)
# The readme as plain text: no code fences, bold marks or backticks, and a
# link's text without its target.
file(READ ${SOURCE}/README.md readme)
string(REGEX REPLACE "```[a-z]*\n" "" readme "${readme}")
string(REGEX REPLACE "\\[([^]\n]*)\\]\\([^)\n]*\\)" "\\1" readme "${readme}")
string(REPLACE "**" "" readme "${readme}")
string(REPLACE "`" "" readme "${readme}")
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE ${OUTPUT}/README.txt "${readme}")
file(COPY_FILE ${SOURCE}/LICENSE ${OUTPUT}/LICENSE)
foreach(name ${files})
  file(CHMOD ${OUTPUT}/${name} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${TOUCH} -d @${epoch} ${name}
                  WORKING_DIRECTORY ${OUTPUT} RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "cannot set the time of ${name}")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -D -q ${NAME}.zip ${files}
                WORKING_DIRECTORY ${OUTPUT} RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "zip failed")
endif()

set(sums "")
foreach(name ${NAME}.zip Tolvane.exe)
  file(SHA256 ${OUTPUT}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${OUTPUT}/SHA256SUMS "${sums}")
message(STATUS "${OUTPUT}/${NAME}.zip, SHA256SUMS:\n${sums}")
