# morvex_embed(<target> NAME <name> FILE <file> [BYTE_UNIT 1|2|4|8] [ALIGN <bytes>])
#
# Builds the bytes of <file> into <target> as
#     const <T> <name>[];        items of BYTE_UNIT bytes (default 1)
#     const size_t <name>_size;  the file's size in bytes
# with <T> unsigned char, uint16_t, uint32_t or uint64_t, and declares both
# in <name>.h on the target's include path, for C and C++. Every item is a
# little-endian group of the file's bytes, so the wider types give the file's
# bytes in memory on little-endian targets; a short last group is padded
# with zero bytes. ALIGN aligns the array to that many bytes.
#
# The items come from `morvex h<BYTE_UNIT>` at build time and again whenever
# <file> changes; everything generated stays in the build tree.
include_guard(GLOBAL)

function(morvex_embed target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;FILE;BYTE_UNIT;ALIGN" "")
    if(arg_UNPARSED_ARGUMENTS OR arg_KEYWORDS_MISSING_VALUES)
        message(FATAL_ERROR "morvex_embed: unexpected or empty arguments: "
            "${arg_UNPARSED_ARGUMENTS} ${arg_KEYWORDS_MISSING_VALUES}")
    endif()
    if(NOT TARGET ${target})
        message(FATAL_ERROR "morvex_embed: no target '${target}'")
    endif()
    if(NOT arg_NAME MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
        message(FATAL_ERROR "morvex_embed: NAME '${arg_NAME}' is not a C identifier")
    endif()
    if(NOT arg_FILE)
        message(FATAL_ERROR "morvex_embed: FILE is missing")
    endif()

    if(NOT DEFINED arg_BYTE_UNIT)
        set(arg_BYTE_UNIT 1)
    endif()
    set(type_1 "unsigned char")
    set(type_2 uint16_t)
    set(type_4 uint32_t)
    set(type_8 uint64_t)
    if(NOT DEFINED type_${arg_BYTE_UNIT})
        message(FATAL_ERROR "morvex_embed: BYTE_UNIT must be 1, 2, 4 or 8, not '${arg_BYTE_UNIT}'")
    endif()
    set(element_type "${type_${arg_BYTE_UNIT}}")

    # C and C++ both forbid an alignment below the element type's own.
    if(DEFINED arg_ALIGN)
        set(align_valid FALSE)
        if(arg_ALIGN MATCHES "^[1-9][0-9]*$")
            math(EXPR low_bits "${arg_ALIGN} & (${arg_ALIGN} - 1)")
            if(low_bits EQUAL 0 AND NOT arg_ALIGN LESS arg_BYTE_UNIT)
                set(align_valid TRUE)
            endif()
        endif()
        if(NOT align_valid)
            message(FATAL_ERROR "morvex_embed: ALIGN must be a power of two "
                "of at least BYTE_UNIT (${arg_BYTE_UNIT}), not '${arg_ALIGN}'")
        endif()
    endif()

    # The definition is compiled as C where the project has C, else as C++.
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if("C" IN_LIST languages)
        set(extension c)
        set(align_keyword _Alignas)
    elseif("CXX" IN_LIST languages)
        set(extension cpp)
        set(align_keyword alignas)
    else()
        message(FATAL_ERROR "morvex_embed: the project enables neither C nor C++")
    endif()
    set(alignment "")
    if(DEFINED arg_ALIGN)
        set(alignment "${align_keyword}(${arg_ALIGN}) ")
    endif()

    cmake_path(ABSOLUTE_PATH arg_FILE BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
        NORMALIZE OUTPUT_VARIABLE input)
    set(dir "${CMAKE_CURRENT_BINARY_DIR}/morvex_embed/${target}")
    set(header "${dir}/${arg_NAME}.h")
    set(source "${dir}/${arg_NAME}.${extension}")
    set(items "${dir}/${arg_NAME}.inc")
    set(generator "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MorvexEmbedGenerate.cmake")

    file(CONFIGURE OUTPUT "${header}" @ONLY CONTENT [[
/* Made by morvex_embed() from @input@; changes are overwritten. */
#ifndef MORVEX_EMBED_@arg_NAME@_H
#define MORVEX_EMBED_@arg_NAME@_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The file's bytes in little-endian groups of @arg_BYTE_UNIT@. */
extern const @element_type@ @arg_NAME@[];
/* The file's size in bytes. */
extern const size_t @arg_NAME@_size;

#ifdef __cplusplus
}
#endif

#endif
]])

    add_custom_command(
        OUTPUT "${source}" "${items}"
        COMMAND "${CMAKE_COMMAND}"
            "-DMORVEX=$<TARGET_FILE:Morvex::morvex>"
            "-DBYTE_UNIT=${arg_BYTE_UNIT}"
            "-DINPUT=${input}"
            "-DITEMS=${items}"
            "-DSOURCE=${source}"
            "-DDECLARATION=${alignment}const ${element_type} ${arg_NAME}[]"
            "-DNAME=${arg_NAME}"
            -P "${generator}"
        DEPENDS "${input}" "$<TARGET_FILE:Morvex::morvex>" "${generator}"
        COMMENT "Embedding ${arg_FILE} as ${arg_NAME}"
        VERBATIM)
    target_sources(${target} PRIVATE "${source}" "${header}")
    target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${dir}>")
endfunction()
