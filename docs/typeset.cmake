# cmake -DGROFF=... -DSOURCE=x.ms -DOUTPUT=x.pdf -DVERSION=1.20 -P typeset.cmake
# Runs groff -t -ms -Tpdf and fails on any diagnostic, leaving no half-made document behind.
execute_process(
  COMMAND ${GROFF} -t -ms -Tpdf -ww -dversion=${VERSION} ${SOURCE}
  OUTPUT_FILE ${OUTPUT}.part
  ERROR_VARIABLE diagnostics
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT diagnostics STREQUAL "")
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "groff could not typeset ${SOURCE}:\n${diagnostics}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
