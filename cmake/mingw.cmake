# Toolchain file for the Windows build: 64-bit Windows programs made with
# mingw-w64's POSIX-threads compilers (std::mutex and std::thread need
# them).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TORVELIN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TORVELIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVELIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVELIN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TORVELIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
