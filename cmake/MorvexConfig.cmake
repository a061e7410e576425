# find_package(Morvex): the installed program as the imported executable
# Morvex::morvex, and morvex_embed() to build files into C and C++ targets.
if(CMAKE_VERSION VERSION_LESS 3.20)
    set(Morvex_FOUND FALSE)
    set(Morvex_NOT_FOUND_MESSAGE "morvex_embed() needs CMake 3.20 or newer")
    return()
endif()
include("${CMAKE_CURRENT_LIST_DIR}/MorvexTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/MorvexEmbed.cmake")
