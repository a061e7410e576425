# morvex_embed(<target> NAME <name> FILE <file> [BYTE_UNIT 1|2|4|8]
#              [ALIGN <bytes>] [MODE AUTO|ARRAY|INCBIN|EMBED])
#
# Builds the bytes of <file> into <target> as
#     const <T> <name>[];        items of BYTE_UNIT bytes (default 1)
#     const size_t <name>_size;  the file's size in bytes
# with <T> unsigned char, uint16_t, uint32_t or uint64_t, and declares both
# in morvex/<name>.h on the target's include path, for C and C++. Every item
# is a little-endian group of the file's bytes; a short last group is padded
# with zero bytes. ALIGN aligns the array to that many bytes.
#
# MODE says how the bytes get into the object file:
#   EMBED   a C23 #embed source (needs a C compiler that accepts it);
#   INCBIN  the assembler's .incbin in a file-scope asm statement (GCC, Clang);
#   ARRAY   the items of `morvex h<BYTE_UNIT>`, made at build time;
#   AUTO    (default) EMBED where the C compiler accepts it, else INCBIN on
#           GCC and Clang, else ARRAY. Where the target is big-endian and
#           BYTE_UNIT is above 1 it is ARRAY, the one mode that gives the
#           items' numeric values there; EMBED and INCBIN give raw bytes.
# Every mode builds again when <file> changes; everything generated stays in
# the target's binary directory.
include_guard(GLOBAL)
include(CheckSourceCompiles)

# Names that C (up to C23) or C++ (up to C++20) keeps for itself.
function(_morvex_embed_check_name name)
    if(name STREQUAL "")
        message(FATAL_ERROR "morvex_embed: NAME is missing")
    endif()
    if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
        message(FATAL_ERROR "morvex_embed: NAME '${name}' is not a C identifier")
    endif()
    set(keywords
        alignas alignof and and_eq asm auto bitand bitor bool break case catch
        char char8_t char16_t char32_t class compl concept const consteval
        constexpr constinit const_cast continue co_await co_return co_yield
        decltype default delete do double dynamic_cast else enum explicit
        export extern false float for friend goto if inline int long mutable
        namespace new noexcept not not_eq nullptr operator or or_eq private
        protected public register reinterpret_cast requires restrict return
        short signed sizeof static static_assert static_cast struct switch
        template this thread_local throw true try typedef typeid typename
        typeof typeof_unqual union unsigned using virtual void volatile
        wchar_t while xor xor_eq)
    if(name IN_LIST keywords)
        message(FATAL_ERROR "morvex_embed: NAME '${name}' is a C or C++ keyword")
    endif()
    # Also every _Keyword of C and every name the implementation may use.
    if(name MATCHES "^_[A-Z_]" OR name MATCHES "__")
        message(FATAL_ERROR "morvex_embed: NAME '${name}' is reserved in C and C++")
    endif()
    # The symbols are global: a second array of the same name cannot link.
    get_property(owner GLOBAL PROPERTY MORVEX_EMBED_NAME_${name})
    if(owner)
        message(FATAL_ERROR "morvex_embed: NAME '${name}' is already embedded (in ${owner})")
    endif()
endfunction()

# Whether the C compiler takes #embed, tried once and cached. GCC and Clang
# take it only as C23, which the generated source then asks for itself.
function(_morvex_embed_c_accepts_embed out)
    set(CMAKE_REQUIRED_FLAGS "")
    if(CMAKE_C_COMPILER_ID MATCHES "^(GNU|Clang|AppleClang)$")
        set(CMAKE_REQUIRED_FLAGS "-std=c23")
        set(std_option -std=c23 PARENT_SCOPE)
    endif()
    set(CMAKE_REQUIRED_QUIET ON)
    check_source_compiles(C [[
static const unsigned char probe[] = {
#embed __FILE__ limit(2) suffix(, 0) if_empty(0)
};
#if !__has_embed(__FILE__)
#error no #embed
#endif
int main(void) { return probe[0] == probe[1]; }
]] MORVEX_EMBED_C_ACCEPTS_EMBED)
    set(${out} ${MORVEX_EMBED_C_ACCEPTS_EMBED} PARENT_SCOPE)
endfunction()

# Sets mode to the one that builds the file, language to what compiles its
# source and std_option to a standard the source needs beyond the target's.
function(_morvex_embed_resolve_mode requested byte_unit input)
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if("C" IN_LIST languages)
        set(language C)
    elseif("CXX" IN_LIST languages)
        set(language CXX)
    else()
        message(FATAL_ERROR "morvex_embed: the project enables neither C nor C++")
    endif()

    # The path is written into a string of the source; these have no
    # spelling there that every compiler reads the same way.
    set(quotable TRUE)
    if(input MATCHES "[\"\\\n]" OR input MATCHES "\\?\\?")
        set(quotable FALSE)
    endif()
    set(raw_bytes_are_items TRUE)
    if(byte_unit GREATER 1 AND CMAKE_${language}_BYTE_ORDER STREQUAL "BIG_ENDIAN")
        set(raw_bytes_are_items FALSE)
    endif()
    set(has_incbin FALSE)
    if(CMAKE_${language}_COMPILER_ID MATCHES "^(GNU|Clang|AppleClang)$")
        set(has_incbin TRUE)
    endif()
    set(has_embed FALSE)
    if(language STREQUAL "C" AND (requested STREQUAL "EMBED" OR
            (requested STREQUAL "AUTO" AND quotable AND raw_bytes_are_items)))
        _morvex_embed_c_accepts_embed(has_embed)
    endif()

    set(mode ${requested})
    if(requested STREQUAL "AUTO")
        if(NOT quotable OR NOT raw_bytes_are_items)
            set(mode ARRAY)
        elseif(has_embed)
            set(mode EMBED)
        elseif(has_incbin)
            set(mode INCBIN)
        else()
            set(mode ARRAY)
        endif()
    elseif(requested STREQUAL "EMBED" AND NOT has_embed)
        message(FATAL_ERROR "morvex_embed: MODE EMBED needs a C compiler that "
            "accepts #embed; ${CMAKE_C_COMPILER_ID} ${CMAKE_C_COMPILER_VERSION} does not")
    elseif(requested STREQUAL "INCBIN" AND NOT has_incbin)
        message(FATAL_ERROR "morvex_embed: MODE INCBIN needs GCC or Clang, "
            "not ${CMAKE_${language}_COMPILER_ID}")
    elseif(NOT requested MATCHES "^(ARRAY|EMBED|INCBIN)$")
        message(FATAL_ERROR "morvex_embed: MODE must be AUTO, ARRAY, INCBIN or EMBED, not '${requested}'")
    endif()
    if(mode MATCHES "^(EMBED|INCBIN)$" AND NOT quotable)
        message(FATAL_ERROR "morvex_embed: MODE ${mode} cannot name '${input}' "
            "in a source: a quote, a backslash, a line break or ?? in the path")
    endif()

    if(mode STREQUAL "EMBED")
        set(language C)
    else()
        set(std_option "")
    endif()
    set(mode ${mode} PARENT_SCOPE)
    set(language ${language} PARENT_SCOPE)
    set(std_option "${std_option}" PARENT_SCOPE)
endfunction()

function(morvex_embed target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;FILE;BYTE_UNIT;ALIGN;MODE" "")
    if(arg_UNPARSED_ARGUMENTS OR arg_KEYWORDS_MISSING_VALUES)
        message(FATAL_ERROR "morvex_embed: unexpected or empty arguments: "
            "${arg_UNPARSED_ARGUMENTS} ${arg_KEYWORDS_MISSING_VALUES}")
    endif()
    if(NOT TARGET ${target})
        message(FATAL_ERROR "morvex_embed: no target '${target}'")
    endif()
    get_target_property(imported ${target} IMPORTED)
    get_target_property(aliased ${target} ALIASED_TARGET)
    get_target_property(type ${target} TYPE)
    if(imported OR aliased OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
        message(FATAL_ERROR "morvex_embed: '${target}' is not an executable or "
            "library built by this project")
    endif()
    _morvex_embed_check_name("${arg_NAME}")
    if(NOT arg_FILE)
        message(FATAL_ERROR "morvex_embed: FILE is missing")
    endif()
    cmake_path(ABSOLUTE_PATH arg_FILE BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
        NORMALIZE OUTPUT_VARIABLE input)
    if(NOT EXISTS "${input}" OR IS_DIRECTORY "${input}")
        message(FATAL_ERROR "morvex_embed: FILE '${arg_FILE}' is not a file (${input})")
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

    if(NOT DEFINED arg_MODE)
        set(arg_MODE AUTO)
    endif()
    _morvex_embed_resolve_mode("${arg_MODE}" ${arg_BYTE_UNIT} "${input}")
    set_property(GLOBAL PROPERTY MORVEX_EMBED_NAME_${arg_NAME}
        "${target}, ${CMAKE_CURRENT_LIST_FILE}")

    # Generated beside the target's own build files, wherever this is called.
    get_target_property(binary_dir ${target} BINARY_DIR)
    set(dir "${binary_dir}/morvex_embed/${target}")
    set(include_dir "${dir}/include")
    set(header "${include_dir}/morvex/${arg_NAME}.h")
    if(language STREQUAL "C")
        set(source "${dir}/${arg_NAME}.c")
    else()
        set(source "${dir}/${arg_NAME}.cpp")
    endif()
    set(name ${arg_NAME})
    set(unit ${arg_BYTE_UNIT})
    # INCBIN and EMBED align the bytes to the item unless ALIGN asks for more.
    set(align ${unit})
    if(DEFINED arg_ALIGN)
        set(align ${arg_ALIGN})
    endif()
    # Comments name the file without its folders, which may hold a "*/".
    cmake_path(GET input FILENAME file_name)

    file(CONFIGURE OUTPUT "${header}" @ONLY CONTENT [[
/* Made by morvex_embed() from @file_name@; changes are overwritten. */
#ifndef MORVEX_EMBED_@name@_H
#define MORVEX_EMBED_@name@_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The file's bytes in little-endian groups of @unit@. */
extern const @element_type@ @name@[];
/* The file's size in bytes. */
extern const size_t @name@_size;

#ifdef __cplusplus
}
#endif

#endif
]])

    set(depends "${input}")
    if(arg_MODE STREQUAL "AUTO")
        set(chosen " (AUTO)")
    else()
        set(chosen "")
    endif()
    if(mode STREQUAL "ARRAY")
        _morvex_embed_array_source()
    elseif(mode STREQUAL "INCBIN")
        _morvex_embed_incbin_source()
    else()
        _morvex_embed_embed_source()
    endif()

    target_sources(${target} PRIVATE "${source}" "${header}")
    # The object is built again whenever the file (or the items made of it)
    # changes, though the source itself does not.
    set_source_files_properties("${source}" TARGET_DIRECTORY ${target} PROPERTIES
        OBJECT_DEPENDS "${depends}"
        COMPILE_OPTIONS "${std_option}"
        SKIP_UNITY_BUILD_INCLUSION ON
        SKIP_PRECOMPILE_HEADERS ON)
    target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${include_dir}>")
endfunction()

# ARRAY: the source includes the items and the size, which a target of
# their own makes at build time, so that this may be called from any
# directory of the project.
macro(_morvex_embed_array_source)
    set(alignment "")
    if(DEFINED arg_ALIGN)
        if(language STREQUAL "C")
            set(alignment "_Alignas(${arg_ALIGN}) ")
        else()
            set(alignment "alignas(${arg_ALIGN}) ")
        endif()
    endif()
    set(items "${dir}/${name}.items")
    set(size_file "${dir}/${name}.size")
    set(generator "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MorvexEmbedGenerate.cmake")
    file(CONFIGURE OUTPUT "${source}" @ONLY CONTENT [[
/* Made by morvex_embed() (ARRAY@chosen@) from @file_name@; changes are overwritten. */
#include "morvex/@name@.h"

@alignment@const @element_type@ @name@[] = {
#include "@name@.items"
};
#include "@name@.size"
]])
    add_custom_command(
        OUTPUT "${items}" "${size_file}"
        COMMAND "${CMAKE_COMMAND}"
            "-DMORVEX=$<TARGET_FILE:Morvex::morvex>"
            "-DBYTE_UNIT=${unit}"
            "-DINPUT=${input}"
            "-DITEMS=${items}"
            "-DSIZE=${size_file}"
            "-DNAME=${name}"
            -P "${generator}"
        DEPENDS "${input}" "$<TARGET_FILE:Morvex::morvex>" "${generator}"
        COMMENT "Embedding ${arg_FILE} as ${name}"
        VERBATIM)
    add_custom_target(morvex_embed_${name} DEPENDS "${items}" "${size_file}")
    add_dependencies(${target} morvex_embed_${name})
    list(APPEND depends "${items}" "${size_file}")
endmacro()

# INCBIN: the assembler copies the file into read-only data. The one
# statement serves ELF, Mach-O and COFF: the compiler's own symbol prefix
# (an underscore on Mach-O and 32-bit Windows), and the section and symbol
# directives each format has. A source holding nothing but this statement
# leaves the compiler no section of its own to restore.
macro(_morvex_embed_incbin_source)
    file(CONFIGURE OUTPUT "${source}" @ONLY CONTENT [[
/* Made by morvex_embed() (INCBIN@chosen@) from @file_name@; changes are overwritten. */
#define MORVEX_EMBED_TEXT(x) #x
#define MORVEX_EMBED_STRING(x) MORVEX_EMBED_TEXT(x)
#define MORVEX_EMBED_SYMBOL(name) MORVEX_EMBED_STRING(__USER_LABEL_PREFIX__) #name
#if defined(__APPLE__)
#define MORVEX_EMBED_BEGIN ".pushsection __TEXT,__const\n"
#define MORVEX_EMBED_END ".popsection\n"
#define MORVEX_EMBED_OBJECT(symbol)
#define MORVEX_EMBED_SIZE(symbol)
#elif defined(_WIN32) || defined(__CYGWIN__)
#define MORVEX_EMBED_BEGIN ".section .rdata,\"dr\"\n"
#define MORVEX_EMBED_END ".text\n"
#define MORVEX_EMBED_OBJECT(symbol)
#define MORVEX_EMBED_SIZE(symbol)
#else
#define MORVEX_EMBED_BEGIN ".pushsection .rodata,\"a\"\n"
#define MORVEX_EMBED_END ".popsection\n"
#define MORVEX_EMBED_OBJECT(symbol) ".type " symbol ", %object\n"
#define MORVEX_EMBED_SIZE(symbol) ".size " symbol ", . - " symbol "\n"
#endif
#if __SIZEOF_SIZE_T__ == 8
#define MORVEX_EMBED_SIZE_T ".quad "
#else
#define MORVEX_EMBED_SIZE_T ".long "
#endif

/* The bytes, then zero bytes up to a whole item; the size counts only the
   file's bytes. */
__asm__(
    MORVEX_EMBED_BEGIN
    ".balign @align@\n"
    ".globl " MORVEX_EMBED_SYMBOL(@name@) "\n"
    MORVEX_EMBED_OBJECT(MORVEX_EMBED_SYMBOL(@name@))
    MORVEX_EMBED_SYMBOL(@name@) ":\n"
    ".incbin \"@input@\"\n"
    ".set morvex_embed_bytes_@name@, . - " MORVEX_EMBED_SYMBOL(@name@) "\n"
    ".balign @unit@, 0\n"
    MORVEX_EMBED_SIZE(MORVEX_EMBED_SYMBOL(@name@))
    ".balign " MORVEX_EMBED_STRING(__SIZEOF_SIZE_T__) "\n"
    ".globl " MORVEX_EMBED_SYMBOL(@name@_size) "\n"
    MORVEX_EMBED_OBJECT(MORVEX_EMBED_SYMBOL(@name@_size))
    MORVEX_EMBED_SYMBOL(@name@_size) ":\n"
    MORVEX_EMBED_SIZE_T "morvex_embed_bytes_@name@\n"
    MORVEX_EMBED_SIZE(MORVEX_EMBED_SYMBOL(@name@_size))
    MORVEX_EMBED_END);
]])
endmacro()

# EMBED: the compiler reads the file itself. The array is defined as bytes,
# which the other units read as items: one zero byte fewer than a whole item
# after the file covers a short last item, and an empty file still gives the
# one element C needs.
macro(_morvex_embed_embed_source)
    math(EXPR padding "${unit} - 1")
    set(suffix "")
    if(padding GREATER 0)
        string(REPEAT ", 0" ${padding} zeros)
        set(suffix " suffix(${zeros})")
    endif()
    file(CONFIGURE OUTPUT "${source}" @ONLY CONTENT [[
/* Made by morvex_embed() (EMBED@chosen@) from @file_name@; changes are overwritten. */
#include <stddef.h>

extern const unsigned char @name@[];
extern const size_t @name@_size;

_Alignas(@align@) const unsigned char @name@[] = {
#embed "@input@"@suffix@ if_empty(0)
};
#if __has_embed("@input@") == __STDC_EMBED_EMPTY__
const size_t @name@_size = 0;
#else
const size_t @name@_size = sizeof @name@ - @padding@;
#endif
]])
endmacro()
