# Install rules of the three programs and the demo log, and the Debian package (CPack).
#
#   cmake --install build --prefix DIR     # DIR/bin/{TessaryView,tessarydump,insloggen},
#                                          # DIR/share/tessaryview/demo.dat
#   cd build && cpack -G DEB               # build/TessaryView-<version>-<arch>.deb
#
# The programs read nothing from the source or build tree at run time: the fonts, the Qt
# translations and the Qt plugins come from the system (the package depends on them).

include(GNUInstallDirs)

set(TESSARY_INSTALL_TARGETS insloggen)
if(TARGET tessarydump)
    list(APPEND TESSARY_INSTALL_TARGETS tessarydump)
endif()
if(TARGET TessaryView)
    list(APPEND TESSARY_INSTALL_TARGETS TessaryView)
endif()
install(TARGETS ${TESSARY_INSTALL_TARGETS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/samples/demo.dat
    DESTINATION ${CMAKE_INSTALL_DATADIR}/tessaryview)

# --- Debian package ---------------------------------------------------------------------
set(TESSARY_PACKAGE_MAINTAINER
    "TessaryView maintainers <maintainers@users.noreply.c-seed-aed088c9.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME TessaryView)
set(CPACK_PACKAGE_VENDOR "TessaryView maintainers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and analyser for INS (ISDN) trace logs")
# The long description, in lines of Debian's width.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "TessaryView shows the binary logs that an ISDN line monitor writes\n"
    "(INS-Net 64 / INS-Net 1500) as four decoded block columns, with search,\n"
    "highlight, aggregation of related calls and copy.\n"
    "The package also holds tessarydump, a command-line decoder over the same\n"
    "core, insloggen, a writer of synthetic logs, and a demo log in\n"
    "/usr/share/tessaryview/demo.dat.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tessaryview)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSARY_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link (Qt 6 Core, Gui, Widgets, DBus, libstdc++, ...) come
# from dpkg-shlibdeps; the rest is read at run time: the Japanese fonts and Qt's translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")

find_program(TESSARY_DPKG dpkg)
if(TESSARY_DPKG)
    execute_process(COMMAND ${TESSARY_DPKG} --print-architecture
        OUTPUT_VARIABLE TESSARY_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(NOT TESSARY_DEB_ARCH)
    set(TESSARY_DEB_ARCH ${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TESSARY_DEB_ARCH})
set(CPACK_DEBIAN_FILE_NAME "TessaryView-${PROJECT_VERSION}-${TESSARY_DEB_ARCH}.deb")

set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
