# The CMake package of the "cli" component: find_package(Morvex) gives the
# installed program as Morvex::morvex and the function morvex_embed(). It
# only runs the program, so it fits any architecture. On Windows it sits in
# <prefix>/cmake, where find_package looks under each CMAKE_PREFIX_PATH entry.
include(CMakePackageConfigHelpers)

if(WIN32)
    set(MORVEX_CMAKE_PACKAGE_DIR cmake)
else()
    set(MORVEX_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_DATADIR}/cmake/Morvex)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/MorvexConfigVersion.cmake
    COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(EXPORT MorvexTargets NAMESPACE Morvex::
    DESTINATION ${MORVEX_CMAKE_PACKAGE_DIR} COMPONENT cli)
install(FILES
    ${CMAKE_CURRENT_LIST_DIR}/MorvexConfig.cmake
    ${CMAKE_CURRENT_LIST_DIR}/MorvexEmbed.cmake
    ${CMAKE_CURRENT_LIST_DIR}/MorvexEmbedGenerate.cmake
    ${PROJECT_BINARY_DIR}/MorvexConfigVersion.cmake
    DESTINATION ${MORVEX_CMAKE_PACKAGE_DIR} COMPONENT cli)
