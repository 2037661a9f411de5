# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix thread
# model, so std::thread and std::mutex are available).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DRM427_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RM427_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RM427_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RM427_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RM427_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RM427_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe each: no libstdc++, libgcc or winpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
