# cmake -DPDF=ZentrixHelp.pdf -DKEYS=settings/keys.h -P help_contents.cmake
# The guide, read back as text from the PDF, names every section and key of the settings file with
# its default, the remote-control message, and every zentrixctl command.
find_program(GS gs)
if(NOT GS)
  message(FATAL_ERROR "gs (Debian package ghostscript) is needed to read the PDF back")
endif()
execute_process(COMMAND ${GS} -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=- ${PDF}
  OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR text STREQUAL "")
  message(FATAL_ERROR "cannot read the text of ${PDF}")
endif()
# Compared without white space: the text read back from a PDF spaces words as it likes.
string(REGEX REPLACE "[ \t\r\n]+" "" text "${text}")

# Every section, key and default of the settings file, as the program spells them.
file(STRINGS ${KEYS} definitions REGEX "^#define (SECTION|KEY|DEFAULT)_[A-Z_]+ +\"")
set(expected)
foreach(line ${definitions})
  string(REGEX MATCH "\"([^\"]*)\"" quoted "${line}")
  string(STRIP "${CMAKE_MATCH_1}" value)
  if(line MATCHES "^#define SECTION_")
    set(value "[${value}]")
  endif()
  list(APPEND expected "${value}")
endforeach()
list(LENGTH expected count)
if(count LESS 20)
  message(FATAL_ERROR "read only ${count} names from ${KEYS}")
endif()

list(APPEND expected "%APPDATA%\\Zentrix\\Zentrix.ini" "WM_REMOTE_CONTROL" "0x7FFE"
     "VANTORELDLGCLASS" "0xFFFF8001" "hours << 24" "minutes << 16" "seconds << 8")
foreach(command play pause stop rewind forward "step N" "locate HH:MM:SS:FF" query length
    "speed [PERCENT]")
  list(APPEND expected "zentrixctl ${command}")
endforeach()

set(missing)
foreach(phrase ${expected})
  string(REPLACE " " "" bare "${phrase}")
  string(FIND "${text}" "${bare}" at)
  if(at EQUAL -1)
    list(APPEND missing "${phrase}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "ZentrixHelp.pdf does not mention: ${missing}")
endif()
message(STATUS "ZentrixHelp.pdf mentions all ${count} settings names and the remote control")
