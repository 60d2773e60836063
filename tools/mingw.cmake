# Cross-compiling for Windows with MinGW-w64, posix thread model (std::mutex for GoogleTest).
# Included by mingw-i686.cmake and mingw-x86_64.cmake, which name the target's triple.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${VANTOREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTOREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VANTOREL_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL      ${VANTOREL_MINGW_TRIPLE}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTOREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The folder of four files has to run on a bare Windows machine: no libgcc, libstdc++ or
# winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
