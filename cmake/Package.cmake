# Makes the Windows package, byte for byte the same from every build of one
# commit, wherever and whenever it is built:
#   OUTPUT/NAME.zip   Tolvane.exe, README.txt and LICENSE
#   OUTPUT/...        the same three files, as the zip unpacks them
#   OUTPUT/SHA256SUMS the zip's and Tolvane.exe's SHA-256, as sha256sum writes
#                     them, so that "sha256sum -c SHA256SUMS" checks both
# README.txt is README.md as Notepad shows it: plain text with CR LF line
# ends, which every Notepad shows as lines, in UTF-8 with a byte order mark,
# which Notepad before Windows 10 1903 needs to read it as UTF-8; without what
# README.md marks as for the repository only. LICENSE has CR LF line ends too.
# The zip's entries are in a fixed order, with fixed permissions (0644) and one
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
# The readme as plain text. What the zip does not hold (the sources, docs/,
# the changelog) is marked in README.md: it goes, from each "repository only"
# comment to its end.
file(READ ${SOURCE}/README.md readme)
set(open "<!-- repository only -->")
set(close "<!-- end repository only -->")
string(LENGTH "${close}" close_length)
while(TRUE)
  string(FIND "${readme}" "${open}" begin)
  string(FIND "${readme}" "${close}" end)
  if(begin EQUAL -1 AND end EQUAL -1)
    break()
  elseif(begin EQUAL -1 OR end LESS begin)
    message(FATAL_ERROR "README.md: \"${open}\" and \"${close}\" do not pair")
  endif()
  math(EXPR after "${end} + ${close_length}")
  string(SUBSTRING "${readme}" 0 ${begin} head)
  string(SUBSTRING "${readme}" ${after} -1 tail)
  set(readme "${head}${tail}")
endwhile()
string(REGEX REPLACE "\n+$" "\n" readme "${readme}")
# Headings underlined instead of marked with "#"; no code fences; a
# paragraph's bold lead as plain words (the "**ERROR**" that a message begins
# with stays, as Tolvane prints it); a link's text without its target.
string(REGEX MATCHALL "(^|\n)#+ [^\n]*" headings "${readme}")
foreach(heading ${headings})
  string(REGEX REPLACE "^\n?(#+) (.*)$" "\\1" marks "${heading}")
  string(REGEX REPLACE "^\n?(#+) (.*)$" "\\2" title "${heading}")
  string(LENGTH "${title}" width)
  if(marks STREQUAL "#")
    string(REPEAT "=" ${width} line)
  else()
    string(REPEAT "-" ${width} line)
  endif()
  string(REGEX REPLACE "^(\n?)#+ .*$" "\\1" start "${heading}")
  string(REPLACE "${heading}" "${start}${title}\n${line}" readme "${readme}")
endforeach()
string(REGEX REPLACE "```[a-z]*\n" "" readme "${readme}")
string(REGEX REPLACE "(^|\n)\\*\\*([^*\n]+)\\*\\*" "\\1\\2" readme "${readme}")
string(REGEX REPLACE "\\[([^]\n]*)\\]\\([^)\n]*\\)" "\\1" readme "${readme}")
# Code without backticks: in quotes when it holds a space (a message or a
# path), so that it does not run into the sentence around it, except at the
# start of a list item, where it stands alone on its line.
set(plain "")
while(TRUE)
  string(FIND "${readme}" "`" open_at)
  if(open_at EQUAL -1)
    break()
  endif()
  string(SUBSTRING "${readme}" 0 ${open_at} before)
  math(EXPR open_at "${open_at} + 1")
  string(SUBSTRING "${readme}" ${open_at} -1 readme)
  string(FIND "${readme}" "`" close_at)
  if(close_at EQUAL -1)
    message(FATAL_ERROR "README.md: a backtick without its pair")
  endif()
  string(SUBSTRING "${readme}" 0 ${close_at} code)
  math(EXPR close_at "${close_at} + 1")
  string(SUBSTRING "${readme}" ${close_at} -1 readme)
  if(code MATCHES "[ \n]" AND NOT before MATCHES "(^|\n)- $")
    set(code "\"${code}\"")
  endif()
  string(APPEND plain "${before}${code}")
endwhile()
set(readme "${plain}${readme}")
string(REPLACE "\n" "\r\n" readme "${readme}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE ${OUTPUT}/README.txt "${byte_order_mark}${readme}")
# The licence with CR LF line ends.
file(READ ${SOURCE}/LICENSE licence)
string(REPLACE "\r\n" "\n" licence "${licence}")
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE ${OUTPUT}/LICENSE "${licence}")
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
