# Builds the Debian package of the build tree in WORK_DIR and has lintian look
# at it: any error (E:) or warning (W:) fails. Run by CTest with BUILD_DIR,
# WORK_DIR, CPACK and LINTIAN; WORK_DIR is removed at the end.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB package ${WORK_DIR}/*.deb)
if(NOT rc EQUAL 0 OR NOT package)
  file(REMOVE_RECURSE ${WORK_DIR})
  message(FATAL_ERROR "cpack failed: ${out}")
endif()
# A Wayland session without XWayland starts the program only with this plugin.
execute_process(COMMAND dpkg-deb -f ${package} Recommends OUTPUT_VARIABLE recommends)
if(NOT recommends MATCHES "qt6-wayland")
  file(REMOVE_RECURSE ${WORK_DIR})
  message(FATAL_ERROR "the package does not recommend qt6-wayland: ${recommends}")
endif()
# lintian leaves scratch files in TMPDIR: give it one that goes with WORK_DIR.
file(MAKE_DIRECTORY ${WORK_DIR}/tmp)
set(ENV{TMPDIR} ${WORK_DIR}/tmp)
execute_process(COMMAND ${LINTIAN} --allow-root ${package}
                RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE errors)
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "lintian: ${report}")
if(NOT rc EQUAL 0 OR report MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian (${rc}):\n${report}${errors}")
endif()
