# What every program and library says about its release, all from the one version that
# project() declares: a header for the programs' --version texts and, on Windows, the version
# resource that the file's properties show.

# The copyright line is the licence's own.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE MENSORA_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
if(NOT MENSORA_COPYRIGHT)
  message(FATAL_ERROR "LICENSE holds no copyright line")
endif()

# mensora_version.h, for any target that links mensora_version.
set(MENSORA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/mensora_version.h.in
               ${MENSORA_GENERATED_DIR}/mensora_version.h @ONLY)
add_library(mensora_version INTERFACE)
target_include_directories(mensora_version INTERFACE ${MENSORA_GENERATED_DIR})

if(WIN32)
  enable_language(RC)
endif()

# Gives the Windows program or library `target` a version resource: product "Mensora", the
# file description `description` with the build's bitness added, its file name, the version and
# the copyright line. Does nothing in a native build.
function(mensora_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(file_type 1)  # an application
  else()
    set(file_type 2)  # a dynamic-link library
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(description "${description} (64-bit)")
  else()
    set(description "${description} (32-bit)")
  endif()
  set(file_name $<TARGET_FILE_NAME:${target}>)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc}.in @ONLY)
  # The file name is known only at generation time.
  file(GENERATE OUTPUT ${rc} INPUT ${rc}.in)
  target_sources(${target} PRIVATE ${rc})
endfunction()
