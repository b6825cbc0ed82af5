# Cross-compiling the Windows game on Debian with mingw-w64 (x86_64-w64-mingw32).
# The posix-thread variant of the compiler provides std::thread and std::mutex;
# everything the runtime needs is linked statically, so the executable imports
# nothing but system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables built here run on this machine through Wine.
find_program(TAV_WINE_PROGRAM NAMES wine wine64)
if(TAV_WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAV_WINE_PROGRAM})
endif()
