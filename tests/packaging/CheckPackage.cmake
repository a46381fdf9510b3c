# Script mode (cmake -P): -DBUILD=dir -DOUT=dir
# Packs BUILD as the Debian package scripts/package.sh makes, into OUT, and
# runs lintian on it: any error or warning fails. Prints "Skipped: ..."
# (CTest's skip pattern) when lintian is not installed, before packing.
cmake_minimum_required(VERSION 3.25)

find_program(lintian lintian)
if(NOT lintian)
  message("Skipped: lintian is not installed (bash scripts/deps.sh installs it)")
  return()
endif()
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake -B ${OUT}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed with status ${status}:\n${out}${err}")
endif()
file(GLOB packages ${OUT}/tarnwell_*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages in ${OUT}, not one")
endif()
execute_process(COMMAND ${lintian} --fail-on error,warning ${packages}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}")
# The tags themselves decide, whatever lintian's own exit status says.
if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian reported errors or warnings (status ${status}):\n${out}${err}")
endif()
