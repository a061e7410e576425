# The Debian packages (cpack -G DEB), one per install component:
#   morvex          the command line, its manual page, completion and CMake
#                   package; it needs no Qt;
#   morvex-dialogs  the dialogs module, menu entry, icon and metainfo.
# cmake/DebianPackageConfig.cmake finishes them when cpack runs.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SOURCE morvex)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME morvex)
set(CPACK_DEBIAN_CLI_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_CLI_DESCRIPTION [[
convert between binary files and C text arrays
Morvex turns a binary file, such as a firmware image or a table, into a
text array, the comma-separated hex numbers to paste or include into C
and C++ sources; it turns a text array back into a binary file, and
inverts the numbers of a text array. Each number stands for one to nine
bytes.

This package holds the command-line program, which never loads a
graphical toolkit, and the CMake function morvex_embed(), which builds a
file into a program as a const array and its size.]])

set(CPACK_DEBIAN_DIALOGS_PACKAGE_NAME morvex-dialogs)
# Its library dependencies come from DebianPackageConfig.cmake.
set(CPACK_DEBIAN_DIALOGS_PACKAGE_SHLIBDEPS OFF)
# The dialogs speak Korean: these faces stand in where Gulim is missing,
# and Qt's own buttons get their Korean captions.
set(CPACK_DEBIAN_DIALOGS_PACKAGE_RECOMMENDS "fonts-nanum, qt6-translations-l10n")
set(CPACK_DEBIAN_DIALOGS_DESCRIPTION [[
dialogs and desktop entry for Morvex
Morvex converts between binary files and text arrays, the comma-separated
numbers that hold binary data in source code, and inverts the numbers of
a text array.

This package adds the Qt dialogs that the program opens when it is started
without a conversion on its command line, with its menu entry, icon and
AppStream metadata.]])

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/DebianPackageConfig.cmake)
if(MORVEX_GUI)
    get_target_property(dialogs_dir morvex_dialogs LIBRARY_OUTPUT_DIRECTORY)
    get_target_property(dialogs_name morvex_dialogs OUTPUT_NAME)
    set(CPACK_MORVEX_DIALOGS_MODULE
        ${dialogs_dir}/${dialogs_name}${CMAKE_SHARED_MODULE_SUFFIX})
    set(CPACK_MORVEX_SHLIBDEPS_DIR ${PROJECT_BINARY_DIR}/shlibdeps)
endif()

# Only the package gets it: a plain install leaves it out.
if(MORVEX_GUI)
    install(FILES ${PROJECT_SOURCE_DIR}/res/morvex-dialogs.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME morvex-dialogs COMPONENT dialogs EXCLUDE_FROM_ALL)
endif()
