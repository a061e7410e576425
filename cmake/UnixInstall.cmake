# The files around the program on Linux and other Unix systems: the gzipped
# manual page, bash completion, copyright and changelog for the "cli"
# component; menu entry, icons and AppStream metainfo for "dialogs". The
# package documentation goes to both, as Debian wants it in every package.
set(res ${PROJECT_SOURCE_DIR}/res)
set(generated ${PROJECT_BINARY_DIR}/install-files)
set(MORVEX_ICON_SIZES 16 24 32 48 64 128 256)
file(MAKE_DIRECTORY ${generated})

# The manual page names the project's version.
configure_file(${res}/morvex.1.in ${generated}/sources/morvex.1 @ONLY)
configure_file(${res}/changelog ${generated}/sources/changelog COPYONLY)

# gzip -n leaves out name and time, so the same sources give the same bytes.
set(gzipped)
foreach(file morvex.1 changelog)
    add_custom_command(OUTPUT ${generated}/${file}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${generated}/sources/${file} ${generated}/${file}
        COMMAND gzip -9nf ${generated}/${file}
        DEPENDS ${generated}/sources/${file}
        VERBATIM)
    list(APPEND gzipped ${generated}/${file}.gz)
endforeach()
add_custom_target(morvex_install_files ALL DEPENDS ${gzipped})

# The copyright file in Debian's machine-readable form, its licence text
# taken from LICENSE: empty lines become " ." and the others are indented.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "^.*\n\n(Permission is hereby granted)" "\\1" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " MORVEX_LICENSE_TERMS " ${license}")
configure_file(${res}/copyright.in ${generated}/copyright @ONLY)

install(FILES ${generated}/morvex.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
install(FILES ${res}/morvex.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
    RENAME morvex COMPONENT cli)
install(FILES ${generated}/copyright ${generated}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvex COMPONENT cli)

if(MORVEX_GUI)
    install(FILES ${res}/morvex.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT dialogs)
    # One icon per size the menus and docks ask for, scaled once from
    # IDR_MAINFRAME.png and kept in res/icons, so no theme scales at run time.
    foreach(size IN LISTS MORVEX_ICON_SIZES)
        install(FILES ${res}/icons/morvex-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME morvex.png COMPONENT dialogs)
    endforeach()
    install(FILES ${res}/org.example.morvex.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT dialogs)
    install(FILES ${generated}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvex-dialogs COMPONENT dialogs)
endif()
