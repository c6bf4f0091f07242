# korvel_import_library(TARGET DEF): an INTERFACE target that links the import
# library dlltool makes from the module-definition file DEF.
function(korvel_import_library target def)
  set(lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/lib${target}.a)
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} -d ${def} -l ${lib}
    DEPENDS ${def}
    COMMENT "Making the import library ${target}"
    VERBATIM)
  add_custom_target(${target}_implib DEPENDS ${lib})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${lib})
  add_dependencies(${target} ${target}_implib)
endfunction()

# COMCTL32 exports the window subclass calls by ordinal; the import library
# that mingw-w64 ships binds them by name. This target links against an
# import library made from comctl32_ordinals.def instead, so the module's
# import table names ordinals 410, 412 and 413, as Windows expects.
korvel_import_library(comctl32_ordinals ${CMAKE_CURRENT_LIST_DIR}/comctl32_ordinals.def)
