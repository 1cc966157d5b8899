# Turns one scdoc page into roff: scdoc < INPUT > OUTPUT, with hyphenation switched off after the
# title line (the man macros switch it back on there), so that no path, option or port name is split
# across lines.
# Run as: cmake -DSCDOC=... -DINPUT=... -DOUTPUT=... -P scdoc-to-man.cmake
execute_process(COMMAND ${SCDOC} INPUT_FILE ${INPUT} OUTPUT_VARIABLE roff ERROR_VARIABLE problem
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scdoc failed on ${INPUT}: ${problem}")
endif()
string(REGEX REPLACE "(\n\\.TH [^\n]*\n)" "\\1.nh\n" roff "${roff}")
file(WRITE ${OUTPUT}.tmp "${roff}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
