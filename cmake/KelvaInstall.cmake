# Installation: the libraries, their headers under include/kelva, an exported CMake package
# (find_package(Kelva) with the components kelva, framework, forms and editors, each the
# target Kelva::<component>) and kelva.pc for pkg-config.
include(CMakePackageConfigHelpers)

get_property(kelva_libraries GLOBAL PROPERTY KELVA_LIBRARIES)
install(TARGETS ${kelva_libraries} EXPORT KelvaTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Kelva_Development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Kelva_Runtime
          NAMELINK_COMPONENT Kelva_Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Kelva_Runtime)

set(KELVA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kelva)
install(EXPORT KelvaTargets NAMESPACE Kelva:: DESTINATION ${KELVA_CMAKE_DIR}
        COMPONENT Kelva_Development)

# A static library hands its private dependencies (ICU) to whoever links it.
get_target_property(kelva_framework_type kelva_framework TYPE)
if(kelva_framework_type STREQUAL "STATIC_LIBRARY")
  set(KELVA_STATIC ON)
else()
  set(KELVA_STATIC OFF)
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KelvaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KelvaConfig.cmake INSTALL_DESTINATION ${KELVA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelvaConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelvaConfig.cmake
              ${PROJECT_BINARY_DIR}/KelvaConfigVersion.cmake
        DESTINATION ${KELVA_CMAKE_DIR} COMPONENT Kelva_Development)

# pkg-config: kelva is the dataset with its framework.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(KELVA_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  set(KELVA_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(KELVA_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(KELVA_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/kelva.pc.in ${PROJECT_BINARY_DIR}/kelva.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kelva.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Kelva_Development)
