# How release files are made: the same bytes from every clean build of a commit, and on Windows
# the add-in shipped without its debug information, which stays beside it for crash reports.

# No build paths in what the compiler writes. __FILE__ names a source from the top of the tree
# ("units/parser.cpp"); debug information names the sources under /mensora and the build folder
# /mensora/build, so that a debugger finds the sources of a checkout with one rule (gdb:
# "set substitute-path /mensora CHECKOUT"). Where two maps match, as for a build folder inside
# the source tree, the later one wins.
add_compile_options(-fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=
                    -fmacro-prefix-map=${PROJECT_BINARY_DIR}/=build/
                    -fdebug-prefix-map=${PROJECT_SOURCE_DIR}=/mensora
                    -fdebug-prefix-map=${PROJECT_BINARY_DIR}=/mensora/build)
if(WIN32)
  # No link time in the file header.
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# Moves the debug information of the Windows program or library `target` into FILE.debug beside
# it and leaves in FILE only a debug link (the debug file's name and checksum), after every
# link. Debuggers find the debug file through the link when it lies beside the file or in their
# debug folder. objcopy would write the current time into both files' headers; told the time 0,
# it keeps the linker's. Does nothing in a native build.
function(mensora_split_debug_info target)
  if(NOT WIN32)
    return()
  endif()
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy not found: the debug information cannot be split off")
  endif()
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE_NAME:${target}>
            $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${objcopy} --strip-all
            --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
            $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Debug information of ${target} into a file of its own"
    VERBATIM)
endfunction()
