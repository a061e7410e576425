# Windows install and installer (cpack -G NSIS): both faces of the program in
# <Program Files>\Morvex\bin, a Start-menu entry "Morvex" for the dialogs and an
# uninstaller that removes what was installed. Silent with /S, both ways.
install(TARGETS morvex morvex_console RUNTIME DESTINATION bin)

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
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for a 64-bit program: it needs no 32-bit subsystem.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_PACKAGE_NAME Morvex)
set(CPACK_NSIS_DISPLAY_NAME Morvex)
# Per machine: under Program Files for every user (the installer asks for admin rights).
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The installer offers to put bin on PATH, so that cmd.exe and PowerShell find
# morvex.com by name; a silent install leaves PATH alone.
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT "http://morvex.example.org/morvex")
include(CPack)
