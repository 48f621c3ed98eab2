# Compiler settings shared by every Kelva target: C++20, the warning set, and the
# optional sanitizer build. Applied per target so that a parent project is unaffected.
add_library(kelva_settings INTERFACE)
target_compile_features(kelva_settings INTERFACE cxx_std_20)
target_compile_options(kelva_settings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>)
if(KELVA_SANITIZE)
  target_compile_options(kelva_settings INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(kelva_settings INTERFACE -fsanitize=address,undefined)
endif()

# kelva_add_library(name folder... [LINK libs...]): a static library from every .cpp
# file in the given folders, with the repository root as include root.
function(kelva_add_library name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;LINK" ${ARGN})
  set(sources)
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${folder_sources})
  endforeach()
  if(NOT sources)
    message(STATUS "${name}: no sources yet, target skipped")
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  target_link_libraries(${name} PUBLIC kelva_settings ${ARG_LINK})
endfunction()
