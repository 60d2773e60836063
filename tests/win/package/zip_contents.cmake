# cmake -DZIP=Vantorel-<version>-win32.zip -DBITS=32 -P zip_contents.cmake
# The zip holds one folder with exactly the files a user needs, and nothing from the build, each
# program built for the zip's bitness.
set(expected
  Vantorel/ Vantorel/OSGRIM.DLL Vantorel/QUORVEL.DLL Vantorel/README.txt Vantorel/ZENTRIXKEY.DLL
  Vantorel/Zentrix.exe Vantorel/ZentrixHelp.pdf Vantorel/zentrixctl.exe)
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "no zip at ${ZIP}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${ZIP}"
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
list(SORT expected)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "${ZIP} holds\n  ${entries}\nexpected\n  ${expected}")
endif()

# Each program inside is a Windows image, the help a PDF, the readme in Windows line ends.
set(unpacked ${CMAKE_CURRENT_BINARY_DIR}/zip_contents)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ZIP}" WORKING_DIRECTORY ${unpacked})
if(BITS EQUAL 64)
  set(machine "6486")  # IMAGE_FILE_MACHINE_AMD64, little-endian
else()
  set(machine "4c01")  # IMAGE_FILE_MACHINE_I386
endif()
foreach(program Zentrix.exe QUORVEL.DLL OSGRIM.DLL ZENTRIXKEY.DLL zentrixctl.exe)
  set(path ${unpacked}/Vantorel/${program})
  file(READ ${path} header LIMIT 2 HEX)
  if(NOT header STREQUAL "4d5a")
    message(FATAL_ERROR "${program} in the zip is no Windows program")
  endif()
  # e_lfanew at 0x3C points at "PE\0\0", followed by the machine.
  file(READ ${path} lfanew OFFSET 60 LIMIT 4 HEX)
  string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" lfanew "${lfanew}")
  math(EXPR pe "0x${lfanew}")
  file(READ ${path} signature OFFSET ${pe} LIMIT 6 HEX)
  if(NOT signature STREQUAL "50450000${machine}")
    message(FATAL_ERROR "${program} in the zip is not a ${BITS}-bit Windows program (${signature})")
  endif()
endforeach()
file(READ ${unpacked}/Vantorel/ZentrixHelp.pdf header LIMIT 5 HEX)
if(NOT header STREQUAL "255044462d")  # %PDF-
  message(FATAL_ERROR "ZentrixHelp.pdf in the zip is no PDF")
endif()
# Read as bytes: a text read drops the carriage returns. Every line feed follows one.
file(READ ${unpacked}/Vantorel/README.txt readme HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${readme}")
string(REGEX MATCHALL "0a " line_feeds "${bytes}")
string(REGEX MATCHALL "0d 0a " line_ends "${bytes}")
list(LENGTH line_feeds feeds)
list(LENGTH line_ends ends)
if(feeds EQUAL 0 OR NOT feeds EQUAL ends)
  message(FATAL_ERROR "README.txt lacks Windows line ends (${ends} of ${feeds} lines)")
endif()
file(REMOVE_RECURSE ${unpacked})
message(STATUS "${ZIP}: ${entries}")
