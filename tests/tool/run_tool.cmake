# Runs the built tool as a user does and checks what it says.
#   cmake -DTOOL=path -DWORK=folder -DARGS="a;b;c" -DSTATUS=0 [-DMATCH=regex] -P run_tool.cmake
# STATUS is the exit status expected; MATCH a regular expression that the
# output (standard output and error together) must contain.
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${TOOL} ${ARGS} WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("tarvex ${ARGS}\n--- exit ${status}\n${out}${err}")
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}")
endif()
if(DEFINED MATCH AND NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "the output does not match '${MATCH}'")
endif()
