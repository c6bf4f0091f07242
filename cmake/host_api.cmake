# Which host API the Windows module compiles and links against.
#
# With MAX_SDK_DIR (a checkout of max-sdk-base): the SDK's own headers, through
# source/host/sdk/max_api.h, first on the include path, and the SDK's import
# library x64/MaxAPI.lib. The SDK's headers are on the system include path, so
# their warnings stay theirs.
# Without it: our declarations in source/host/, and the simulated host's import
# library; when the simulated host is not built (KORVEL_MODULE_ONLY), one made
# from the names the host's MaxAPI.dll exports (tests/build/host-abi/).
set(_korvel_sdk_includes ${MAX_SDK_DIR}/c74support/max-includes)
if(MAX_SDK_DIR AND NOT EXISTS ${_korvel_sdk_includes}/ext.h)
  message(FATAL_ERROR "MAX_SDK_DIR=${MAX_SDK_DIR} has no c74support/max-includes/ext.h: not a max-sdk-base checkout")
endif()

if(KORVEL_MODULE_ONLY AND NOT MAX_SDK_DIR)
  set(_korvel_exports ${PROJECT_SOURCE_DIR}/tests/build/host-abi/maxapi-exports.txt)
  set(_korvel_maxapi_def ${CMAKE_CURRENT_BINARY_DIR}/MaxAPI.def)
  file(STRINGS ${_korvel_exports} _korvel_names REGEX "^[A-Za-z_][A-Za-z0-9_]*$")
  list(JOIN _korvel_names "\n" _korvel_names)
  file(CONFIGURE OUTPUT ${_korvel_maxapi_def} CONTENT "LIBRARY MaxAPI.dll\nEXPORTS\n${_korvel_names}\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_korvel_exports})
  korvel_import_library(maxapi_host ${_korvel_maxapi_def})
endif()

# korvel_host_api(target): the host header and import library for target.
function(korvel_host_api target)
  set(host ${PROJECT_SOURCE_DIR}/source/host)
  if(MAX_SDK_DIR)
    target_include_directories(${target} PRIVATE ${host}/sdk ${host})
    target_include_directories(${target} SYSTEM PRIVATE ${_korvel_sdk_includes})
    target_link_libraries(${target} PRIVATE ${_korvel_sdk_includes}/x64/MaxAPI.lib)
  elseif(KORVEL_MODULE_ONLY)
    target_include_directories(${target} PRIVATE ${host})
    target_link_libraries(${target} PRIVATE maxapi_host)
  else()
    target_link_libraries(${target} PRIVATE MaxAPI)
  endif()
endfunction()
