# What a player installs, made by CPack from the install rules
# (cmake/Install.cmake) and the one
# project version: on Linux the Debian package (generator DEB), from the
# Windows build the zip with the program, README.txt and LICENSE.txt (ZIP).
# scripts/make-packages.sh runs both; `cpack` in a build folder alone writes
# into its packages/ folder.
set(CPACK_PACKAGE_NAME quarvelle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quarvelle developers")
set(CPACK_PACKAGE_CONTACT "The Quarvelle developers <developers@quarvelle.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-blocks game for one player")
set(CPACK_PACKAGE_DESCRIPTION
"Pieces of four blocks fall into a field of 10 columns by 18 rows; move and
turn them as they fall, and complete whole rows to remove them. Rows are
scored by their height in the field, every ten rows raise the level, and the
five best results are kept in a high-score table.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# The programs go in stripped.
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quarvelle-${PROJECT_VERSION}-win64)
  # The files at the zip's top: unpacking it makes the folder of its own.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quarvelle.org/)
  # The dependencies are those of the shared libraries the program links.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Directories and files with Debian's usual modes, whatever the umask.
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

include(CPack)
