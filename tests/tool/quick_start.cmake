# The quick start of the README, in a fresh folder, as a new user runs it:
#   tarvex --sim list && tarvex --sim stream --frames 90 && tarvex --sim snap -o frame.png
#   cmake -DTOOL=path -DWORK=folder -P quick_start.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run_step expect)
  execute_process(COMMAND ${TOOL} ${ARGN} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("$ tarvex ${ARGN}\n${out}${err}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tarvex ${ARGN}: exit status ${status}")
  endif()
  if(NOT out MATCHES "${expect}")
    message(FATAL_ERROR "tarvex ${ARGN}: the output does not match '${expect}'")
  endif()
endfunction()

run_step("1 camera\n.*  1  2        UA  TVX1280M-000" --sim list)
run_step("^90 frames of 1280 x 1024 in [0-9.]+ s: [0-9.]+ fps, [0-9.]+ MB/s\n$" --sim stream --frames 90)
run_step("^Saved frame.png: 1280 x 1024 pixels, 8-bit grey\n$" --sim snap -o frame.png)

# A PNG of the whole window: the signature, then IHDR with width 1280 and height 1024.
file(READ ${WORK}/frame.png header LIMIT 24 HEX)
if(NOT header STREQUAL "89504e470d0a1a0a0000000d494844520000050000000400")
  message(FATAL_ERROR "frame.png does not start as a 1280 x 1024 PNG: ${header}")
endif()
