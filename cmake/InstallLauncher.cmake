# Run by cmake --install (and CPack): installs the launcher, in games/ under
# the prefix /usr (Debian's place for games) and in bin/ under any other,
# then writes the desktop entry with the launcher's full path and installs
# it under share/applications. Takes QUARVELLE_LAUNCHER,
# QUARVELLE_DESKTOP_TEMPLATE and QUARVELLE_DESKTOP_OUTPUT.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(launcher_dir "${CMAKE_INSTALL_PREFIX}/games")
else()
  set(launcher_dir "${CMAKE_INSTALL_PREFIX}/bin")
endif()
file(INSTALL DESTINATION "${launcher_dir}" TYPE PROGRAM FILES "${QUARVELLE_LAUNCHER}")

set(launcher "${launcher_dir}/quarvelle")
set(QUARVELLE_DESKTOP_EXEC "${launcher}")
if(launcher MATCHES "[] \t\"'\\\\`$<>~|&;*?#()[%]")
  # A path with a space or another reserved character is quoted as the
  # desktop entry rules ask ("\" before ", `, $ and \), and then each
  # backslash is doubled again, since the value is a string.
  string(REPLACE "\\" "\\\\" quoted "${launcher}")
  foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\${special}" quoted "${quoted}")
  endforeach()
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(QUARVELLE_DESKTOP_EXEC "\"${quoted}\"")
endif()
configure_file("${QUARVELLE_DESKTOP_TEMPLATE}" "${QUARVELLE_DESKTOP_OUTPUT}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${QUARVELLE_DESKTOP_OUTPUT}")
