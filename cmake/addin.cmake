# The add-in itself, made from the same objects in every build: MENSORA.xll on Windows (the
# product: 32-bit with the i686 toolchain, 64-bit with the x86_64 one, exporting what
# xll/mensora.def lists), and natively the shared object MENSORA.so that the native xllhost
# loads for quick end-to-end runs, also under the sanitizers.
if(WIN32)
  add_library(mensora_addin SHARED)
  mensora_windows_dll(mensora_addin ${PROJECT_SOURCE_DIR}/xll/mensora.def MENSORA.xll)
else()
  add_library(mensora_addin MODULE)
  set_target_properties(mensora_addin PROPERTIES PREFIX "" OUTPUT_NAME MENSORA
                        LIBRARY_OUTPUT_DIRECTORY ${MENSORA_BIN_DIR})
endif()
# The functions' objects go in directly, because nothing refers to their static registrars; so
# do the framework's and the bridge's, because their entry points are referred to only by the
# export list and the loader (picked from an archive, DllMain would lose to the runtime's default
# one, and the bridge's exports would be left out).
target_sources(mensora_addin PRIVATE $<TARGET_OBJECTS:mensora_xll> $<TARGET_OBJECTS:mensora_com>)
target_link_libraries(mensora_addin PRIVATE mensora_functions mensora_units mensora_platform)
mensora_version_resource(mensora_addin "Mensora unit conversions for spreadsheets")
mensora_split_debug_info(mensora_addin)
