# Compiler settings of Kelva's own targets (the warning set, warnings as errors, the
# sanitizer build) and the function that makes a library. The settings are linked
# privately: a consumer's targets never see Kelva's warnings, sanitizers or flags; what
# the headers need (C++20) is the only public requirement.
add_library(kelva_settings INTERFACE)
target_compile_features(kelva_settings INTERFACE cxx_std_20)
target_compile_options(kelva_settings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>
  $<$<AND:$<BOOL:${KELVA_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang>>:-Werror>)
if(KELVA_SANITIZE)
  target_compile_options(kelva_settings INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(kelva_settings INTERFACE -fsanitize=address,undefined)
endif()

# Every header is included as "kelva/<folder>/<file>.h", in this tree as in an installed one,
# so that no folder name of Kelva's can shadow one of a consumer's. In the build tree the
# prefix is a link to the source root.
set(KELVA_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)
file(MAKE_DIRECTORY ${KELVA_INCLUDE_ROOT})
if(NOT EXISTS ${KELVA_INCLUDE_ROOT}/kelva)
  file(CREATE_LINK ${PROJECT_SOURCE_DIR} ${KELVA_INCLUDE_ROOT}/kelva SYMBOLIC)
endif()

# The symbols of a shared library carry the version node of the release they come from, so
# that a program built against one release is refused by an incompatible one at load time.
set(KELVA_SYMBOL_VERSION_SCRIPT ${PROJECT_BINARY_DIR}/kelva.map)
string(REPLACE "." "_" KELVA_SYMBOL_VERSION "KELVA_${PROJECT_VERSION}")
file(WRITE ${KELVA_SYMBOL_VERSION_SCRIPT} "${KELVA_SYMBOL_VERSION} { global: *; };\n")

# kelva_add_library(name EXPORT_NAME export FOLDERS folder... [LINK libs...]
#                   [PRIVATE_LINK libs...]): a library (static, or shared under
# BUILD_SHARED_LIBS) from every .cpp file in the given folders, known to consumers as
# Kelva::<export>. Its headers are installed under include/kelva/<folder>.
function(kelva_add_library name)
  cmake_parse_arguments(ARG "" "EXPORT_NAME" "FOLDERS;LINK;PRIVATE_LINK" ${ARGN})
  set(sources)
  set(headers)
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    file(GLOB folder_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    list(APPEND sources ${folder_sources})
    install(FILES ${folder_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelva/${folder}
            COMPONENT Kelva_Development)
  endforeach()
  add_library(${name} ${sources})
  add_library(Kelva::${ARG_EXPORT_NAME} ALIAS ${name})
  set_target_properties(${name} PROPERTIES
    EXPORT_NAME ${ARG_EXPORT_NAME}
    POSITION_INDEPENDENT_CODE ON
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${KELVA_INCLUDE_ROOT}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC ${ARG_LINK}
    PRIVATE $<BUILD_INTERFACE:kelva_settings> ${ARG_PRIVATE_LINK})
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "SHARED_LIBRARY" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_link_options(${name} PRIVATE
      "LINKER:--version-script=${KELVA_SYMBOL_VERSION_SCRIPT}")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${KELVA_SYMBOL_VERSION_SCRIPT})
    # Installed side by side, the libraries find each other wherever the tree is put.
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
  endif()
  set_property(GLOBAL APPEND PROPERTY KELVA_LIBRARIES ${name})
endfunction()

# kelva_use_settings(target...): Kelva's own programs and tests get the same warnings and
# sanitizers as the libraries.
function(kelva_use_settings)
  foreach(target IN LISTS ARGN)
    target_link_libraries(${target} PRIVATE kelva_settings)
  endforeach()
endfunction()

# kelva_part_option(var description): a part of Kelva that needs other libraries is built ON
# (they must be found), OFF, or AUTO (when they are found); AUTO in a top-level build, OFF when
# another project pulls Kelva in.
function(kelva_part_option var description)
  if(KELVA_IS_TOP)
    set(default AUTO)
  else()
    set(default OFF)
  endif()
  set(${var} ${default} CACHE STRING "${description}: ON, OFF or AUTO")
  set_property(CACHE ${var} PROPERTY STRINGS ON OFF AUTO)
endfunction()

# kelva_find_part(option result what PACKAGES package... [COMPONENTS component...]): looks
# for the part's packages as its option asks and sets result to whether the part is built.
# A macro, so that what find_package defines stays visible to the caller.
macro(kelva_find_part option result what)
  cmake_parse_arguments(part "" "" "PACKAGES;COMPONENTS" ${ARGN})
  set(${result} OFF)
  if(${option} STREQUAL "AUTO" OR ${option})
    set(part_mode REQUIRED)
    if(${option} STREQUAL "AUTO")
      set(part_mode QUIET)
    endif()
    set(${result} ON)
    set(part_missing)
    foreach(part_package IN LISTS part_PACKAGES)
      if(part_COMPONENTS)
        find_package(${part_package} ${part_mode} COMPONENTS ${part_COMPONENTS})
      else()
        find_package(${part_package} ${part_mode})
      endif()
      if(NOT ${part_package}_FOUND)
        set(${result} OFF)
        list(APPEND part_missing ${part_package})
      endif()
    endforeach()
    if(NOT ${result})
      list(JOIN part_missing ", " part_missing)
      message(STATUS "Not building ${what}: ${part_missing} not found")
    endif()
  endif()
endmacro()
