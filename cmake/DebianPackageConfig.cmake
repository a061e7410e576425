# Read by cpack for each generator; finishes the Debian packages of
# cmake/DebianPackage.cmake.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

# Each package begins its own description with its own synopsis.
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)

# The dialogs module's library dependencies, found with dpkg-shlibdeps as
# CPack would, but without the ldconfig calls CPack then adds for every
# shared object under /usr/lib: the module is private and loaded by path.
if(CPACK_MORVEX_DIALOGS_MODULE)
    file(MAKE_DIRECTORY ${CPACK_MORVEX_SHLIBDEPS_DIR}/debian)
    file(TOUCH ${CPACK_MORVEX_SHLIBDEPS_DIR}/debian/control)
    execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_MORVEX_DIALOGS_MODULE}
        WORKING_DIRECTORY ${CPACK_MORVEX_SHLIBDEPS_DIR}
        RESULT_VARIABLE status OUTPUT_VARIABLE substvars ERROR_VARIABLE errors)
    if(NOT status EQUAL 0 OR NOT substvars MATCHES "shlibs:Depends=([^\n]+)")
        message(FATAL_ERROR "dpkg-shlibdeps ${CPACK_MORVEX_DIALOGS_MODULE}: ${errors}")
    endif()
    set(CPACK_DEBIAN_DIALOGS_PACKAGE_DEPENDS
        "morvex (= ${CPACK_PACKAGE_VERSION}), ${CMAKE_MATCH_1}")
endif()
