if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
    return()
endif()

# Desktop-ready install: the program, its menu entry, its icon in the
# hicolor theme and its manual page, in the standard places under the prefix;
# and a .deb of the same files (cpack -G DEB).
include(GNUInstallDirs)

set(MORVEX_ICON ${PROJECT_SOURCE_DIR}/res/IDR_MAINFRAME.png)
set(MORVEX_ICON_SIZE 256)

install(TARGETS morvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(MORVEX_GUI)
    install(TARGETS morvex_dialogs LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/morvex)
endif()
install(FILES res/morvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MORVEX_ICON}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${MORVEX_ICON_SIZE}x${MORVEX_ICON_SIZE}/apps
    RENAME morvex.png)
install(FILES res/morvex.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvex)
set(CPACK_PACKAGE_VENDOR "Morvex project")
set(CPACK_PACKAGE_CONTACT "Morvex project <morvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert between binary files and text arrays")
set(CPACK_PACKAGE_DESCRIPTION
    "Morvex turns a binary file into a text array (0x41,0x42,) for pasting into source code, turns a text array back into a binary file, and inverts the numbers of a text array, from the command line or from a small dialog.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://morvex.example.org/morvex")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The library dependencies (Qt when the dialogs are built) come from the binary itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(MORVEX_GUI)
    # The dialogs speak Korean; these faces stand in where Gulim is missing.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-nanum)
endif()
include(CPack)
