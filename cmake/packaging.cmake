# What `cmake --install` puts where, and the packages CPack makes of it:
# Linux: pravelo_<version>_amd64.deb; Windows: Pravelo-<version>-win64.exe
# (installer) and Pravelo-<version>-win64.zip (portable).
set(_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "edit many word-processor documents in one go with a macro")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
    install(TARGETS pravelo pravelo_cli RUNTIME DESTINATION .)

    set(CPACK_GENERATOR NSIS ZIP)
    set(CPACK_PACKAGE_NAME Pravelo)
    set(CPACK_PACKAGE_VENDOR Pravelo)
    set(CPACK_PACKAGE_FILE_NAME Pravelo-${PROJECT_VERSION}-win64)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Pravelo)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pravelo)
    set(CPACK_PACKAGE_EXECUTABLES Pravelo Pravelo)

    # A 64-bit installer, so Program Files and the registry are the 64-bit ones.
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    set(CPACK_NSIS_PACKAGE_NAME Pravelo)
    set(CPACK_NSIS_DISPLAY_NAME Pravelo)
    set(CPACK_NSIS_CONTACT ${PRAVELO_CONTACT_ADDRESS})
    set(CPACK_NSIS_INSTALLED_ICON_NAME Pravelo.exe)
    set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/src/platform/win32/pravelo.ico)
    set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/src/platform/win32/pravelo.ico)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    # The mark that sends settings and log to %APPDATA%\Pravelo goes into the
    # installed folder only: the zip is the portable copy.
    set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
        "SetOutPath \\\"$INSTDIR\\\"\nFile \\\"/oname=Pravelo.installed\\\" \\\"${_pkg}/Pravelo.installed\\\"")
    set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "Delete \\\"$INSTDIR\\\\Pravelo.installed\\\"")
else()
    # Program and helpers in one private folder: each finds the others beside itself.
    # Installed, they keep only the office's folder on their run path (set where
    # they link), not the relocatable-install entries the Qt set-up adds.
    set_target_properties(pravelo pravelo-office-guard pravelo-office-host
                          PROPERTIES INSTALL_RPATH "")
    install(TARGETS pravelo pravelo-office-guard pravelo-office-host
            RUNTIME DESTINATION lib/pravelo)
    install(FILES ${_pkg}/Pravelo.installed DESTINATION lib/pravelo)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging)
    file(CREATE_LINK ../lib/pravelo/pravelo ${CMAKE_CURRENT_BINARY_DIR}/packaging/pravelo SYMBOLIC)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/pravelo DESTINATION bin)
    install(FILES ${_pkg}/pravelo.desktop DESTINATION share/applications)
    install(FILES ${_pkg}/pravelo.png DESTINATION share/icons/hicolor/32x32/apps)
    install(FILES ${_pkg}/lintian-overrides DESTINATION share/lintian/overrides RENAME pravelo)

    # Debian's documentation files, compressed as Debian wants them (no time stamp).
    string(TIMESTAMP PRAVELO_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
    string(TIMESTAMP PRAVELO_COPYRIGHT_YEAR "%Y" UTC)
    set(_doc ${CMAKE_CURRENT_BINARY_DIR}/packaging)
    configure_file(${_pkg}/copyright ${_doc}/copyright @ONLY)
    configure_file(${_pkg}/changelog.in ${_doc}/changelog @ONLY)
    configure_file(${_pkg}/pravelo.1 ${_doc}/pravelo.1 @ONLY)
    find_program(PRAVELO_GZIP gzip REQUIRED)
    add_custom_command(OUTPUT ${_doc}/changelog.gz ${_doc}/pravelo.1.gz
        COMMAND ${PRAVELO_GZIP} -9nf -k ${_doc}/changelog ${_doc}/pravelo.1
        DEPENDS ${_doc}/changelog ${_doc}/pravelo.1
        VERBATIM)
    add_custom_target(pravelo_package_docs ALL DEPENDS ${_doc}/changelog.gz ${_doc}/pravelo.1.gz)
    install(FILES ${_doc}/copyright ${_doc}/changelog.gz DESTINATION share/doc/pravelo)
    install(FILES ${_doc}/pravelo.1.gz DESTINATION share/man/man1)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME pravelo)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pravelo <${PRAVELO_CONTACT_ADDRESS}>")
    set(CPACK_DEBIAN_PACKAGE_SECTION text)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # Below the summary line.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Pick a folder, any number of documents and a Basic macro of your own;
each document is opened in a hidden office of its own, the macro runs on it
and the document is saved. The interface is Danish.")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The office is loaded at run time, not linked: the writer with its
    # document filters, and the core that holds the office kit.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libreoffice-writer-nogui (>= 4:7.4) | libreoffice-writer (>= 4:7.4), libreoffice-core-nogui (>= 4:7.4) | libreoffice-core (>= 4:7.4)")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-text-editor | gedit | mousepad | kate | pluma")
endif()

include(CPack)
