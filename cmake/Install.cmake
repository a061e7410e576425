if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
    return()
endif()

# Install rules in two components: "cli", the command line with its manual
# page, completion and CMake package, and "dialogs", the Qt dialogs module
# with the desktop integration. Each becomes a package of its own.
include(GNUInstallDirs)

install(TARGETS morvex EXPORT MorvexTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
if(MORVEX_GUI)
    install(TARGETS morvex_dialogs
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/morvex COMPONENT dialogs)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/CMakePackage.cmake)
if(UNIX)
    include(${CMAKE_CURRENT_LIST_DIR}/UnixInstall.cmake)
endif()

set(CPACK_PACKAGE_NAME morvex)
set(CPACK_PACKAGE_VENDOR "Morvex project")
set(CPACK_PACKAGE_CONTACT "Morvex project <morvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert between binary files and text arrays")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://morvex.example.org/morvex")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(NOT WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()
include(CPack)

cpack_add_component(cli DISPLAY_NAME "Command line" REQUIRED)
if(MORVEX_GUI)
    cpack_add_component(dialogs DISPLAY_NAME "Dialogs" DEPENDS cli)
endif()
