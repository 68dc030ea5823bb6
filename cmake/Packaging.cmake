# Debian packages from the install components (scripts/make-packages):
#   libtavrinioctl1            runtime: the control's shared libraries (SONAME .so.1)
#   tavrin-ioctl-data          data: the language file the control reads and the demo vehicle (all architectures)
#   libtavrinioctl-dev         dev: headers, the CMake package, the unversioned links, the static session side
#   tavrin-ioctl               tools: the programs, their data and translations, the desktop entry, the
#                              manual pages, the example key plug-in
#   tavrin-ioctl-designer-plugin  designer: the control in Qt Designer's widget box
# Versions come from project(VERSION); dependencies on Debian's libraries are computed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-ioctl)
set(CPACK_PACKAGE_VENDOR Tavrin)
set(CPACK_PACKAGE_CONTACT "Tavrin developers <developers@tavrin.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "actuator tests on a vehicle's ECUs (KWP2000, UDS)")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tavrin.org/")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL data runtime dev tools designer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries are found in the package being built, not in the system's.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/src/control ${CMAKE_BINARY_DIR}/src/diagitem)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "the Tavrin Input Output Control widget for Qt 6
 An embeddable Qt 6 widget with which a diagnostic application runs actuator
 tests on a vehicle's ECUs through KWP2000 and UDS input/output control.")
set(CPACK_COMPONENT_RUNTIME_DEPENDS data)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtavrinioctl1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)

set(CPACK_COMPONENT_DATA_DESCRIPTION "the Tavrin Input Output Control widget for Qt 6 (data)
 The control's captions and messages in English, French and German, which
 every host reads through initParameters, and the simulated demo vehicle.")
set(CPACK_DEBIAN_DATA_PACKAGE_NAME tavrin-ioctl-data)
set(CPACK_DEBIAN_DATA_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)

set(CPACK_COMPONENT_DEV_DESCRIPTION "the Tavrin Input Output Control widget for Qt 6 (development files)
 Headers, the CMake package (find_package(TavrinIoCtl COMPONENTS KwpSession))
 and the KWP2000/UDS session library with its K-line, CAN and ELM327 links.")
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtavrinioctl-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "qt6-base-dev, qt6-serialport-dev, qt6-serialbus-dev, libxml2-dev")

set(CPACK_COMPONENT_TOOLS_DESCRIPTION "actuator tests on a vehicle's ECUs, with a simulated vehicle
 The Tavrin Input Output Control in a window (tavrin-demo), scripted tests
 (ioctl-script), a vehicle description checker (vehicle-info) and the
 simulated vehicle on a port or a CAN bus (tavrin-ecu-sim).")
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME tavrin-ioctl)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION electronics)

set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "the Tavrin Input Output Control in Qt Designer
 The widget in Qt Designer's widget box, to place it in a form.")
set(CPACK_COMPONENT_DESIGNER_DEPENDS runtime)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME tavrin-ioctl-designer-plugin)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)

# Every package holds its copyright and its Debian changelog (gzipped, reproducibly).
find_program(GZIP gzip REQUIRED)
foreach(pair "data|tavrin-ioctl-data" "runtime|libtavrinioctl1" "dev|libtavrinioctl-dev" "tools|tavrin-ioctl"
             "designer|tavrin-ioctl-designer-plugin")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 PACKAGE)
  set(dir ${CMAKE_BINARY_DIR}/debian/${PACKAGE})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${dir}/changelog.Debian @ONLY)
  execute_process(COMMAND ${GZIP} -9nf ${dir}/changelog.Debian)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${dir}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PACKAGE} COMPONENT ${component})
endforeach()
# The shared libraries' package tells the dynamic linker by a trigger, as Debian wants it.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_STRIP_FILES ON)

include(CPack)
