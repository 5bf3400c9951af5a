# Cross-compiling for Windows with mingw-w64; included by the per-architecture toolchain files,
# which set MENSORA_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The compilers of the Win32 thread model, whichever the system's default names point to. Their
# thread_local storage is released when a thread ends (the host's calculation threads call the
# add-in) and when the add-in is unloaded while the thread that used it runs on; the POSIX
# model's, from the threads library linked into the add-in, stays behind at every unload. The
# model has no std::thread or std::mutex: the simulated host's calculation threads use the
# system's own (harness/platform).
set(CMAKE_C_COMPILER ${MENSORA_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MENSORA_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${MENSORA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MENSORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime is linked in: what we build needs nothing but system DLLs (and, for an add-in,
# the host's XLCall32.dll), so it loads in any host without the compiler's DLLs beside it.
set(MENSORA_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT ${MENSORA_STATIC_RUNTIME})
set(CMAKE_SHARED_LINKER_FLAGS_INIT ${MENSORA_STATIC_RUNTIME})
set(CMAKE_MODULE_LINKER_FLAGS_INIT ${MENSORA_STATIC_RUNTIME})

# Tests and other programs the build runs go through Wine, in the project's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
