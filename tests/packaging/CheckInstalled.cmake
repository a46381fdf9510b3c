# Script mode (cmake -P), two uses; list arguments come joined by "|".
#   -DSTAGE=dir -DBUILD=dir -DPROMISED=paths   installs BUILD afresh into
#       STAGE and fails unless every promised path is there.
#   -DTOOL=name -DARGS=args -DQUIET=0|all|stderr   runs the tool; prints
#       "Skipped: ..." (CTest's skip pattern) when it is not installed. The
#       tool is looked up when the test runs, so installing it later needs
#       no new configure.
cmake_minimum_required(VERSION 3.25)

if(DEFINED STAGE)
  file(REMOVE_RECURSE ${STAGE})
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}
    OUTPUT_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "installing ${BUILD} into ${STAGE} failed: ${status}")
  endif()
  string(REPLACE "|" ";" PROMISED "${PROMISED}")
  set(missing)
  foreach(path IN LISTS PROMISED)
    if(NOT EXISTS ${STAGE}/${path})
      list(APPEND missing ${path})
    endif()
  endforeach()
  if(missing)
    message(FATAL_ERROR "not installed: ${missing}")
  endif()
  return()
endif()

find_program(tool_path ${TOOL})
if(NOT tool_path)
  message("Skipped: ${TOOL} is not installed (bash scripts/deps.sh installs it)")
  return()
endif()
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${tool_path} ${ARGS}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(QUIET STREQUAL "stderr")
  set(out "")
endif()
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed with status ${status}")
endif()
if((QUIET STREQUAL "all" AND NOT "${out}${err}" STREQUAL "")
    OR (QUIET STREQUAL "stderr" AND NOT err STREQUAL ""))
  message(FATAL_ERROR "${TOOL} reported problems")
endif()
