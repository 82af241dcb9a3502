# Cross-compiling for 64-bit Windows with Debian's mingw-w64 toolchain (the
# posix thread model, so std::thread and friends work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot and the cross-built
# GLFW/raylib prefix only, never from the Linux host; tools from the host.
get_filename_component(TALLOMIR_WIN_DEPS "${CMAKE_CURRENT_LIST_DIR}/../.deps-win" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${TALLOMIR_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in, so the .exe needs no DLL beside
# it under Wine or on a bare Windows machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
