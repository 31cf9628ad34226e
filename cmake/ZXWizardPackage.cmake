# The Debian package (cpack -G DEB in the build folder): everything that
# `cmake --install` puts in place, under /usr, with the libraries it needs,
# QtSql's ODBC driver and the fonts as dependencies. It registers the component
# in the system's class registry on install and removes it on removal.
set(ZXWIZARD_MAINTAINER "ZXWizard developers <zxwizard@example.org>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(ZX_SYSTEM_REGISTRY /etc/xdg/zxcom/registry.ini)
set(ZX_MODULE ${CPACK_PACKAGING_INSTALL_PREFIX}/${ZXWIZARD_MODULE_DIR}/libzxwizard.so)

set(zx_deb ${CMAKE_CURRENT_BINARY_DIR}/deb)
foreach(script postinst prerm)
    configure_file(packaging/deb/${script}.in ${zx_deb}/${script} @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
endforeach()
configure_file(packaging/deb/changelog.in ${zx_deb}/changelog @ONLY)
add_custom_command(OUTPUT ${zx_deb}/changelog.gz
                   COMMAND gzip -9n -c ${zx_deb}/changelog > ${zx_deb}/changelog.gz
                   DEPENDS ${zx_deb}/changelog VERBATIM)
add_custom_target(zxwizard-changelog ALL DEPENDS ${zx_deb}/changelog.gz)
install(FILES packaging/deb/copyright ${zx_deb}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zxwizard)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zxwizard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZXWIZARD_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "account-setup wizard of supply-chain accounting subsystems")
set(CPACK_PACKAGE_DESCRIPTION "The account-setup wizard of the inventory, purchasing, sales and
inventory accounting subsystems of an accounting product: the zxwizard
command, the component ZXWizard.Wizard that host programs create by its
ProgID, and the libraries, headers, CMake package and pkg-config files to
build such hosts in C or C++. Accounts live in SQLite files or on a server
reached through ODBC.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# SQLite is reached through its own library (found by shlibdeps); QtSql's
# ODBC driver is a plugin, which shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-odbc, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${zx_deb}/postinst ${zx_deb}/prerm
                                       ${PROJECT_SOURCE_DIR}/packaging/deb/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
