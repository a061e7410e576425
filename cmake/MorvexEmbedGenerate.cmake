# Build step of morvex_embed() in ARRAY mode: writes the items of INPUT
# with `morvex h<BYTE_UNIT>` into ITEMS and the definition of NAME_size into
# SIZE; the array's source includes both.
execute_process(COMMAND "${MORVEX}" "h${BYTE_UNIT}" "${INPUT}" "${ITEMS}"
    RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0)
    file(REMOVE "${ITEMS}" "${SIZE}")
    message(FATAL_ERROR "morvex h${BYTE_UNIT} failed (${status}): ${error}")
endif()

file(SIZE "${INPUT}" size)
# C allows no empty initialiser: an empty file gives one zero item. The
# program ends right after the last item; strict C wants every included file
# to end in a newline.
if(size EQUAL 0)
    file(WRITE "${ITEMS}" "0\n")
else()
    file(APPEND "${ITEMS}" "\n")
endif()
file(WRITE "${SIZE}" "const size_t ${NAME}_size = ${size};\n")
