# COMCTL32 exports the window subclass calls by ordinal; the import library
# that mingw-w64 ships binds them by name. This target links against an
# import library made from comctl32_ordinals.def instead, so the module's
# import table names ordinals 410, 412 and 413, as Windows expects.
set(_korvel_comctl32_def ${CMAKE_CURRENT_LIST_DIR}/comctl32_ordinals.def)
set(_korvel_comctl32_lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/libcomctl32_ordinals.a)

add_custom_command(
  OUTPUT ${_korvel_comctl32_lib}
  COMMAND ${CMAKE_DLLTOOL} -d ${_korvel_comctl32_def} -l ${_korvel_comctl32_lib}
  DEPENDS ${_korvel_comctl32_def}
  COMMENT "Making the COMCTL32 ordinal import library"
  VERBATIM)
add_custom_target(comctl32_ordinals_implib DEPENDS ${_korvel_comctl32_lib})

add_library(comctl32_ordinals INTERFACE)
target_link_libraries(comctl32_ordinals INTERFACE ${_korvel_comctl32_lib})
add_dependencies(comctl32_ordinals comctl32_ordinals_implib)
