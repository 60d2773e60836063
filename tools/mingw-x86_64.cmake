# The 64-bit program, for the 64-bit DirectShow decoders of a 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VANTOREL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
