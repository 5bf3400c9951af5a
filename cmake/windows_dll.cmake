# Windows DLLs built with mingw-w64: export lists from .def files, import libraries made with
# dlltool, and DLL file names without the "lib" prefix MinGW builds give by default.

# Sets out_var to a version of the .def file def that this architecture links with. Our .def
# files are written for 32-bit, where a __stdcall name carries its argument bytes (Excel4v@16,
# xlAutoOpen=xlAutoOpen@0); 64-bit has one calling convention and no such suffix, so there a
# copy without the suffixes is written to the build folder. Ordinals (" @3") are kept.
function(mensora_def_for_arch out_var def)
  get_filename_component(def ${def} ABSOLUTE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${out_var} ${def} PARENT_SCOPE)
    return()
  endif()
  file(READ ${def} text)
  string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" text "${text}")
  get_filename_component(name ${def} NAME)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/def64/${name})
  file(GENERATE OUTPUT ${out} CONTENT "${text}")
  set_source_files_properties(${out} PROPERTIES GENERATED TRUE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  set(${out_var} ${out} PARENT_SCOPE)
endfunction()

# Makes the DLL target export exactly what the .def file def lists, under the file name
# file_name (with its extension: "XLCall32.dll", "MENSORA.xll").
function(mensora_windows_dll target def file_name)
  mensora_def_for_arch(arch_def ${def})
  target_sources(${target} PRIVATE ${arch_def})
  get_filename_component(base ${file_name} NAME_WLE)
  get_filename_component(suffix ${file_name} LAST_EXT)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ${suffix})
endfunction()

# Creates the interface target `target` that links the import library dlltool makes from the
# .def file def (with its LIBRARY line naming the DLL). dlltool -k drops the @N suffixes from
# the names it imports by, and NONAME entries are imported by ordinal alone.
function(mensora_import_library target def)
  mensora_def_for_arch(arch_def ${def})
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a)
  # dlltool names the library's internal symbols after the output path it is given; a bare
  # file name keeps the build folder out of them (and out of the add-in's debug information).
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} -k -d ${arch_def} -l lib${target}.a
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DEPENDS ${arch_def}
    COMMENT "Import library ${target} from ${def}"
    VERBATIM)
  add_custom_target(${target}_lib DEPENDS ${lib})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${lib})
  add_dependencies(${target} ${target}_lib)
endfunction()
