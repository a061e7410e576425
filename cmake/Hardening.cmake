# Hardening of the ELF binaries built on Linux with GCC or Clang, as Debian
# asks of packaged programs: position-independent executables, a stack
# protector, checked string and memory functions, and a read-only GOT bound
# at start-up. Sanitizer and fuzz builds instrument the same functions and
# are left as they are.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux"
        OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
        OR MORVEX_SANITIZE OR MORVEX_TSAN OR MORVEX_FUZZ)
    return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

add_compile_options(-fstack-protector-strong)
# The checked functions need the optimiser; a Debug build would only warn.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
