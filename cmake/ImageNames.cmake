# The 32 picture names, read from the one list the game keeps: the catalogue
# table in render/image_catalogue.cpp ({"Console", 350, 420}, ...), in its
# order. The SDL program's embedded resources and the Windows resource script
# are made from it, so a picture is named in one place only.
function(quarvelle_image_names out_var)
  set(catalogue ${CMAKE_SOURCE_DIR}/render/image_catalogue.cpp)
  file(STRINGS ${catalogue} rows REGEX "^[ \t]*{\"[A-Za-z0-9]+\", [0-9]+, [0-9]+},")
  set(names)
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "^[ \t]*{\"([A-Za-z0-9]+)\".*" "\\1" name "${row}")
    list(APPEND names ${name})
  endforeach()
  list(LENGTH names count)
  if(NOT count EQUAL 32)
    message(FATAL_ERROR "render/image_catalogue.cpp lists ${count} pictures, not 32")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${catalogue})
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()
