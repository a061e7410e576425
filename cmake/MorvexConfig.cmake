# find_package(Morvex): the installed program as the imported executable
# Morvex::morvex, and morvex_embed() to build files into C and C++ targets.
include("${CMAKE_CURRENT_LIST_DIR}/MorvexTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/MorvexEmbed.cmake")
