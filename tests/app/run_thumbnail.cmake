# Runs zolva-reader --thumbnail as a file manager does, without a display, and
# checks what it leaves behind. cmake -P with:
#   PROGRAM  the program
#   INPUT    the file to draw; "fifo" for a named pipe that nothing writes to
#   SIZE     the size asked for
#   OUTPUT   where the picture goes (removed first)
#   EXPECT   "picture": status 0 and a PNG whose larger side is SIZE;
#            "nothing": status 1 and no file at OUTPUT
# Either way the program must have ended within 10 s: its own limit of 5 s
# and a sanitized build's start.
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(REMOVE_RECURSE "${folder}")
file(MAKE_DIRECTORY "${folder}")
if(INPUT STREQUAL "fifo")
  set(INPUT "${folder}/never-written.zvm")
  execute_process(COMMAND mkfifo "${INPUT}" RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "mkfifo failed")
  endif()
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          "${PROGRAM}" --thumbnail "${INPUT}" "${OUTPUT}" "${SIZE}"
  RESULT_VARIABLE status
  ERROR_VARIABLE errors
  TIMEOUT 10)
file(GLOB left "${folder}/*")
list(REMOVE_ITEM left "${INPUT}")

if(EXPECT STREQUAL "nothing")
  if(NOT status EQUAL 1 OR left)
    message(FATAL_ERROR "expected status 1 and no file; got ${status}, files: ${left}\n${errors}")
  endif()
  return()
endif()

if(NOT status EQUAL 0 OR NOT left STREQUAL "${OUTPUT}")
  message(FATAL_ERROR "expected status 0 and only ${OUTPUT}; got ${status}, files: ${left}\n${errors}")
endif()
# A PNG: its signature, then the header chunk with width and height.
file(READ "${OUTPUT}" header LIMIT 24 HEX)
string(SUBSTRING "${header}" 0 16 signature)
string(SUBSTRING "${header}" 32 8 width)
string(SUBSTRING "${header}" 40 8 height)
math(EXPR width "0x${width}")
math(EXPR height "0x${height}")
if(NOT signature STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "${OUTPUT} is no PNG")
endif()
if(NOT (width EQUAL SIZE AND height LESS_EQUAL SIZE) AND NOT (height EQUAL SIZE AND width LESS_EQUAL SIZE))
  message(FATAL_ERROR "${width} x ${height} pixels, not ${SIZE} on the larger side")
endif()
