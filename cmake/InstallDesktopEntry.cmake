# Run by cmake --install (and CPack): writes the desktop entry with the full
# path of the installed launcher and installs it under share/applications.
# Takes QUARVELLE_DESKTOP_TEMPLATE and QUARVELLE_DESKTOP_OUTPUT.
set(launcher "${CMAKE_INSTALL_PREFIX}/games/quarvelle")
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
