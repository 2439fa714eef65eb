# The install rules of both programs, in one place; the top CMakeLists.txt
# includes it in either build once the program's target exists, and CPack
# (cmake/Packaging.cmake) packs what they install.
#
# Windows: quarvelle.exe, README.txt and LICENSE.txt at the top of the tree,
# which is the zip.
#
# Linux: laid out as Debian lays out a game, below any prefix: the game in
# lib/games/quarvelle/, the launcher that starts it in the player's data
# folder, the desktop entry, icons, metainfo, manual page and copyright
# under share/. The launcher finds the game relative to itself. It goes in
# games/ under /usr, as Debian's policy for games wants, and in bin/ under
# any other prefix (~/.local, /usr/local, /opt/...), which is on a PATH where
# games/ is not. `cmake --build <build> --target uninstall` removes what the
# last install of that build put there.
set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging)

if(WIN32)
  # Windows readers expect CR LF line ends.
  configure_file(${packaging_dir}/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS quarvelle RUNTIME DESTINATION .)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)
  return()
endif()

install(TARGETS quarvelle RUNTIME DESTINATION lib/games/quarvelle)
foreach(size 16 32 48 64 128 256)
  if(size EQUAL 64)
    set(icon ${CMAKE_SOURCE_DIR}/resources/icon/quarvelle.png)
  else()
    set(icon ${CMAKE_SOURCE_DIR}/resources/icon/quarvelle-${size}.png)
  endif()
  install(FILES ${icon} RENAME quarvelle.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${packaging_dir}/org.quarvelle.quarvelle.metainfo.xml DESTINATION share/metainfo)
install(FILES ${packaging_dir}/copyright DESTINATION share/doc/quarvelle)

# The manual page and the changelog, compressed as Debian wants them (-n
# keeps the build time out of the bytes); built with the program, so that
# installing a build of the program alone finds them.
set(compressed)
foreach(pair "quarvelle.6=quarvelle.6.gz" "changelog=changelog.gz")
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 source)
  list(GET parts 1 output)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${packaging_dir}/${source} > ${CMAKE_BINARY_DIR}/packaging/${output}
    DEPENDS ${packaging_dir}/${source}
    COMMENT "Compressing ${source}")
  list(APPEND compressed ${CMAKE_BINARY_DIR}/packaging/${output})
endforeach()
add_custom_target(quarvelle_compressed_docs DEPENDS ${compressed})
add_dependencies(quarvelle quarvelle_compressed_docs)
install(FILES ${CMAKE_BINARY_DIR}/packaging/quarvelle.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/quarvelle)

# The launcher answers --version with the one project version.
configure_file(${packaging_dir}/quarvelle.in ${CMAKE_BINARY_DIR}/packaging/quarvelle @ONLY)

# Where the launcher goes and the desktop entry that starts it by its full
# path depend on the prefix, known only when installing (cmake --install
# --prefix may change it), so both are done then.
install(CODE "set(QUARVELLE_LAUNCHER \"${CMAKE_BINARY_DIR}/packaging/quarvelle\")
  set(QUARVELLE_DESKTOP_TEMPLATE \"${packaging_dir}/quarvelle.desktop.in\")
  set(QUARVELLE_DESKTOP_OUTPUT \"${CMAKE_BINARY_DIR}/packaging/quarvelle.desktop\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/InstallLauncher.cmake)

# Removes every file the last `cmake --install` of this build wrote, as its
# install_manifest.txt lists them; the player's VORN.DAT, in the data folder,
# was never installed and stays.
if(NOT TARGET uninstall)
  add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DQUARVELLE_MANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
            -P ${CMAKE_SOURCE_DIR}/cmake/Uninstall.cmake
    COMMENT "Removing what cmake --install put in place")
endif()
