# morvex_engine_library(<name> SOURCES <file>... [DEPENDS <library>...])
#
# One room of the engine as a static library: its include/ folder is its
# public face, every other header stays its own. With the tests, a second
# build <name>_small_io over the _small_io builds of what it depends on has
# tiny buffers, so that every chunk boundary falls inside short inputs; a
# buffer size is part of the headers, so a whole chain is built either way.
function(morvex_engine_library name)
    cmake_parse_arguments(arg "" "" "SOURCES;DEPENDS" ${ARGN})
    foreach(suffix "" _small_io)
        if(suffix AND NOT MORVEX_TESTS)
            continue()
        endif()
        set(target ${name}${suffix})
        add_library(${target} STATIC ${arg_SOURCES})
        target_include_directories(${target}
            PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
            PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
        foreach(dependency IN LISTS arg_DEPENDS)
            target_link_libraries(${target} PUBLIC ${dependency}${suffix})
        endforeach()
        if(suffix)
            target_compile_definitions(${target} PUBLIC MORVEX_IO_BUFFER_SIZE=512)
        endif()
    endforeach()
endfunction()
