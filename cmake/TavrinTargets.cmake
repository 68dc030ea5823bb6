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

# The headers a host includes, as <FOLDER/NAME.h>: installed under
# include/FOLDER, and in the build tree as headers that forward to the sources
# (one file each, so a header reached by both ways is still read once).
#   tavrin_public_headers(TARGET FOLDER header...)
function(tavrin_public_headers target folder)
  foreach(header ${ARGN})
    get_filename_component(path ${header} ABSOLUTE)
    get_filename_component(name ${header} NAME)
    file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/include/${folder}/${name} CONTENT "#include \"${path}\"\n")
  endforeach()
  install(FILES ${ARGN} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder} COMPONENT dev)
  # Public headers include one another as <FOLDER/NAME.h>, the target's own sources too.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  else()
    set(scope PUBLIC)
  endif()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
                                                $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endfunction()

# A library of the KWP2000 session side: static, exported in one of the
# package's optional components, usable from the build tree and from an
# installed prefix; HEADERS are the ones a host of that component includes
# (<FOLDER/NAME.h>). The session library itself: EXPORT TavrinKwpSessionTargets
# and FOLDER TavrinKwpSession (the defaults); the simulated vehicle has its own.
#   tavrin_session_library(NAME [EXPORT set] [FOLDER dir] [HEADERS h...] SOURCES cpp... LINK deps...)
function(tavrin_session_library name)
  cmake_parse_arguments(ARG "" "EXPORT;FOLDER" "HEADERS;SOURCES;LINK" ${ARGN})
  if(NOT ARG_EXPORT)
    set(ARG_EXPORT TavrinKwpSessionTargets)
  endif()
  if(NOT ARG_FOLDER)
    set(ARG_FOLDER TavrinKwpSession)
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(TavrinIoCtl::${name} ALIAS ${name})
  tavrin_warnings(${name})
  # A host's include path is PREFIX/include alone: installed headers name their folder.
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
                                            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${name} ${ARG_LINK})
  install(TARGETS ${name} EXPORT ${ARG_EXPORT} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
  if(ARG_HEADERS)
    tavrin_public_headers(${name} ${ARG_FOLDER} ${ARG_HEADERS})
  endif()
endfunction()
