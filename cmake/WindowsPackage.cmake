# Windows install and installer (cpack -G NSIS): both faces of the program in
# <Program Files>\Morvex\bin, the licence, the CMake package, a Start-menu
# entry "Morvex" for the dialogs and an uninstaller that removes what was
# installed. Silent with /S, both ways; /ADDTOPATH=1 puts bin on PATH.
install(TARGETS morvex RUNTIME DESTINATION bin)
# The console face is the one find_package(Morvex) gives as Morvex::morvex:
# builds wait for it and see its errors.
set_target_properties(morvex_console PROPERTIES EXPORT_NAME morvex)
install(TARGETS morvex_console EXPORT MorvexTargets RUNTIME DESTINATION bin)
include(${CMAKE_CURRENT_LIST_DIR}/CMakePackage.cmake)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME morvex)
set(CPACK_PACKAGE_VENDOR "Morvex project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert between binary files and text arrays")
set(MORVEX_INSTALLER morvex-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_FILE_NAME ${MORVEX_INSTALLER})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Morvex)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Morvex)
# The Start-menu entry starts the dialogs: the GUI program, which opens no console.
set(CPACK_PACKAGE_EXECUTABLES morvex Morvex)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# One installer with everything; no page to pick parts of it.
set(CPACK_MONOLITHIC_INSTALL ON)

# A 64-bit installer for a 64-bit program: it needs no 32-bit subsystem.
# No branding line at the foot of its pages (written here, since CPack's
# CPACK_NSIS_BRANDING_TEXT always trims, which makensis refuses off Windows).
# The options page and the PATH switch come from res/installer/options.nsh.
string(JOIN "\n" CPACK_NSIS_DEFINES
    "Target amd64-unicode"
    "BrandingText ' '"
    "!include /CHARSET=UTF8 '${PROJECT_SOURCE_DIR}/res/installer/options.nsh'")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "!insertmacro MorvexSilentPathSwitch")
set(CPACK_NSIS_PACKAGE_NAME Morvex)
set(CPACK_NSIS_DISPLAY_NAME Morvex)
# Per machine: under Program Files for every user (the installer asks for admin rights).
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The installer offers to put bin on PATH, so that cmd.exe and PowerShell find
# morvex.com by name; a silent install does so with /ADDTOPATH=1. The
# uninstaller takes it off again.
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT "http://morvex.example.org/morvex")
include(CPack)
