# Installs the build into a fresh DESTDIR and checks that every file a
# desktop needs is there. Run by CTest with BUILD_DIR, WORK_DIR, APP_ID, VERSION.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${out}")
endif()

set(root ${WORK_DIR}/usr)
set(expected
    bin/quillomat
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/kio/servicemenus/${APP_ID}.desktop
    share/nemo/actions/quillomat.nemo_action
    share/file-manager/actions/${APP_ID}.desktop
    share/man/man1/quillomat.1.gz
    share/doc/quillomat/copyright
    share/doc/quillomat/changelog.gz
    share/quillomat/translations/quillomat_de.qm)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${root}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# The manual page carries the project's version, the program is executable.
execute_process(COMMAND gzip -dc ${root}/share/man/man1/quillomat.1.gz OUTPUT_VARIABLE manual)
if(NOT manual MATCHES "Quillomat ${VERSION}")
  message(FATAL_ERROR "the manual page does not name version ${VERSION}")
endif()
execute_process(COMMAND ${root}/bin/quillomat --version RESULT_VARIABLE rc OUTPUT_VARIABLE shown)
if(NOT rc EQUAL 0 OR NOT shown STREQUAL "Quillomat ${VERSION}\n")
  message(FATAL_ERROR "the installed program answers --version with '${shown}' (${rc})")
endif()
