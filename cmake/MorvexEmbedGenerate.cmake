# Build step of morvex_embed(): writes the items of INPUT with
# `morvex h<BYTE_UNIT>` into ITEMS, and into SOURCE the definitions of NAME
# (DECLARATION, whose initialiser includes ITEMS) and NAME_size.
execute_process(COMMAND "${MORVEX}" "h${BYTE_UNIT}" "${INPUT}" "${ITEMS}"
    RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0)
    file(REMOVE "${ITEMS}" "${SOURCE}")
    message(FATAL_ERROR "morvex h${BYTE_UNIT} failed (${status}): ${error}")
endif()

file(SIZE "${INPUT}" size)
# C allows no empty initialiser: an empty file gives one zero item.
if(size EQUAL 0)
    set(initialiser "0")
else()
    get_filename_component(items_name "${ITEMS}" NAME)
    set(initialiser "#include \"${items_name}\"")
endif()
file(WRITE "${SOURCE}" "/* Made by morvex_embed() from ${INPUT}; changes are overwritten. */
#include \"${NAME}.h\"

${DECLARATION} = {
${initialiser}
};
const size_t ${NAME}_size = ${size};
")
