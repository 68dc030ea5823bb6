# How the project's own targets are built: warnings per target (errors with
# TAVRIN_WERROR), hidden symbols, and one internal module per source folder.

function(tavrin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${TAVRIN_WERROR}>:-Werror>)
endfunction()

# An internal module: a static library of one folder, whose headers its
# dependants see through the link, never through an include path of their own.
function(tavrin_module name)
  add_library(${name} STATIC ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>)
  tavrin_warnings(${name})
endfunction()

# A library of the session side: static, installed with its headers and
# exported, usable from the build tree and from an installed prefix.
#   tavrin_session_library(NAME HEADERS h... SOURCES cpp... LINK deps...)
function(tavrin_session_library name)
  cmake_parse_arguments(ARG "" "" "HEADERS;SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(TavrinIoCtl::${name} ALIAS ${name})
  tavrin_warnings(${name})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
                                            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/TavrinIoCtl>)
  target_link_libraries(${name} ${ARG_LINK})
  install(TARGETS ${name} EXPORT TavrinIoCtlTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${ARG_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/TavrinIoCtl)
endfunction()
