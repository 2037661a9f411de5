# Installs the build into a scratch prefix and checks that the programs, the
# desktop entry, the icons and the cables' device rule land in the usual places and that both
# programs answer --version.
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch dir> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/rm427 bin/rm427-cli share/applications/rm427.desktop
          share/icons/hicolor/scalable/apps/rm427.svg share/icons/hicolor/64x64/apps/rm427.png
          lib/udev/rules.d/70-rm427-cables.rules)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(p rm427 rm427-cli)
  execute_process(COMMAND "${PREFIX}/bin/${p}" --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "^${p} ${VERSION}\n$")
    message(FATAL_ERROR "${p} --version: status ${rc}, output '${out}'")
  endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/rm427.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=rm427 %f")
  message(FATAL_ERROR "desktop entry: ${exec}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
