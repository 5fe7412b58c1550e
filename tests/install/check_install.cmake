# Stages `cmake --install` of BUILD_DIR under STAGE (as DESTDIR) and checks
# the tree: the installed marlwick-cli finds the installed definition files
# (it is run from the staged tree, far from the build's copies) and the menu
# entry names the program and the ROMs' file type.
set(prefix /usr/local)
file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
set(root ${STAGE}${prefix})
foreach(f bin/marlwick bin/marlwick-cli share/marlwick/O5Data.dat share/applications/marlwick.desktop
          share/icons/hicolor/scalable/apps/marlwick.svg)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

execute_process(COMMAND ${root}/bin/marlwick-cli make-demo ${STAGE}/demo.smc RESULT_VARIABLE rc)
execute_process(COMMAND ${root}/bin/marlwick-cli check ${STAGE}/demo.smc RESULT_VARIABLE rc2
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT rc2 EQUAL 0 OR NOT out MATCHES " 0 failed")
  message(FATAL_ERROR "the installed marlwick-cli cannot check the demo ROM (${rc}, ${rc2}):\n${out}${err}")
endif()

file(READ ${root}/share/applications/marlwick.desktop entry)
foreach(line "Name=Marlwick" "Exec=marlwick " "Icon=marlwick" "MimeType=application/vnd.nintendo.snes.rom")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE ${STAGE})
