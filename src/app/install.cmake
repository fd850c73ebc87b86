# Installing the program as a desktop application, and its Debian packages.
# Included from the top-level CMakeLists.txt once every target is defined.
#
#   <prefix>/lib/tolvane/tolvane          the program
#   <prefix>/lib/tolvane/lang/de/KVLANG.DLL  its German module (component "german")
#   <prefix>/bin/tolvane                   a link to the program
#   <prefix>/bin/tolvane-cli               the command line, when it is built
#   <prefix>/share/applications/...desktop, share/icons/hicolor/32x32/apps/...png
#
# The program looks for its language module beside its own file, and else in
# lang/<language>/ beside it for the language of the user's locale, so it lives
# in a folder of its own and the link in bin/ leads there. The German module is
# a component, and a Debian package, of its own: installing it gives German to
# the users whose locale is German.

set(TOLVANE_APP_ID example.orvenne.Tolvane)
set(TOLVANE_PROGRAM_DIR lib/tolvane)

install(TARGETS tolvane RUNTIME DESTINATION ${TOLVANE_PROGRAM_DIR} COMPONENT tolvane)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ../${TOLVANE_PROGRAM_DIR}/tolvane ${CMAKE_BINARY_DIR}/install/tolvane SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/tolvane DESTINATION bin COMPONENT tolvane)
if(TARGET tolvane-cli)
  install(TARGETS tolvane-cli RUNTIME DESTINATION bin COMPONENT tolvane)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${TOLVANE_APP_ID}.desktop
        DESTINATION share/applications COMPONENT tolvane)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/128.png
        DESTINATION share/icons/hicolor/32x32/apps RENAME ${TOLVANE_APP_ID}.png COMPONENT tolvane)
install(FILES ${CMAKE_BINARY_DIR}/lang/de/KVLANG.DLL DESTINATION ${TOLVANE_PROGRAM_DIR}/lang/de COMPONENT german)

# Everything the installation holds, for building just that.
add_custom_target(tolvane_installed)
add_dependencies(tolvane_installed tolvane tolvane_lang_de)
if(TARGET tolvane-cli)
  add_dependencies(tolvane_installed tolvane-cli)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR "Orvenne Software Inc.")
set(CPACK_PACKAGE_CONTACT "Tolvane and Merge <tolvane@orvenne.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tolvane german)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvenne.example/tolvane")
set(CPACK_DEBIAN_TOLVANE_PACKAGE_NAME tolvane)
# The libraries come from dpkg-shlibdeps; Qt's window system plugins and the
# driver manager's tools are not linked but needed all the same.
set(CPACK_DEBIAN_TOLVANE_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TOLVANE_PACKAGE_DEPENDS "qt6-qpa-plugins, unixodbc")
set(CPACK_DEBIAN_TOLVANE_PACKAGE_SUGGESTS "libsqliteodbc, odbc-postgresql, odbc-mariadb")
set(CPACK_DEBIAN_GERMAN_PACKAGE_NAME tolvane-l10n-de)
set(CPACK_DEBIAN_GERMAN_PACKAGE_SECTION localization)
set(CPACK_DEBIAN_GERMAN_PACKAGE_ARCHITECTURE all)
# The module must be of the program's own version, or the program refuses it.
set(CPACK_DEBIAN_GERMAN_PACKAGE_DEPENDS "tolvane (= ${PROJECT_VERSION})")
# Each package's description starts with its own summary line (so no
# CPACK_PACKAGE_DESCRIPTION_SUMMARY, which CPack would put before both).
set(CPACK_DEBIAN_TOLVANE_DESCRIPTION "compare the tables of two ODBC data sources and merge the differences
Tolvane and Merge compares the tables of two ODBC data sources, an old one and a
new one, and brings a third data source up to date with the differences.")
set(CPACK_DEBIAN_GERMAN_DESCRIPTION "German language module for Tolvane and Merge
It shows every dialog and message in German to users whose locale is German.")
include(CPack)
