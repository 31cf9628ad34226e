# What `cmake --install` puts where: the command, the component, the
# libraries and headers a host builds with, the CMake package and the
# pkg-config files that find them, the manual page and shell completion.
include(CMakePackageConfigHelpers)

# The libraries a host links: versioned, with their SONAME.
foreach(target zxplatform zxdbkit zxdbkit-odbc zxwizardc)
    set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION}
                                               SOVERSION ${PROJECT_VERSION_MAJOR})
endforeach()
set_target_properties(zxplatform PROPERTIES EXPORT_NAME Platform)
set_target_properties(zxdbkit PROPERTIES EXPORT_NAME DbKit)
set_target_properties(zxwizardc PROPERTIES EXPORT_NAME CApi)
set_target_properties(zxwizard PROPERTIES EXPORT_NAME Component)

# The C++ interfaces of the component, for C++ hosts.
add_library(zxwizardapi INTERFACE)
target_link_libraries(zxwizardapi INTERFACE zxplatform zxdbkit)
target_compile_features(zxwizardapi INTERFACE cxx_std_20)
set_target_properties(zxwizardapi PROPERTIES EXPORT_NAME Wizard)

# Installed files find each other relative to themselves, so that any
# prefix works without a library path.
file(RELATIVE_PATH zx_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(zxdbkit zxdbkit-odbc zxwizardc PROPERTIES INSTALL_RPATH "\$ORIGIN")
set_target_properties(zxwizard PROPERTIES INSTALL_RPATH "\$ORIGIN/..")
set_target_properties(zxwizard-cli PROPERTIES INSTALL_RPATH "\$ORIGIN/${zx_bin_to_lib}")
# The build tree keeps the libraries and the component where they are
# installed, relative to the command (build/host stands for bin), so the same
# relative search paths serve both trees. Otherwise CMake pads a build-tree
# search path with empty entries, to rewrite it in place at install, and the
# loader reads an empty entry as the current directory: every library would
# first be looked for wherever the command happens to be started.
set_target_properties(zxplatform zxdbkit zxdbkit-odbc zxwizardc
                      PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_LIBDIR})
set_target_properties(zxwizard PROPERTIES LIBRARY_OUTPUT_DIRECTORY
                                          ${CMAKE_BINARY_DIR}/${ZXWIZARD_MODULE_DIR})
set_target_properties(zxplatform zxdbkit zxdbkit-odbc zxwizardc zxwizard zxwizard-cli
                      PROPERTIES BUILD_WITH_INSTALL_RPATH ON)

set(zx_headers ${CMAKE_INSTALL_INCLUDEDIR}/zxwizard)
install(TARGETS zxplatform zxdbkit zxwizardc zxwizardapi EXPORT ZXWizardTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${zx_headers})
# Loaded by zxdbkit, never linked: no link name, not in the CMake package.
install(TARGETS zxdbkit-odbc LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
install(TARGETS zxwizard EXPORT ZXWizardTargets LIBRARY DESTINATION ${ZXWIZARD_MODULE_DIR})
install(TARGETS zxwizard-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES capi/zxwizard.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES wizard/WizardApi.h DESTINATION ${zx_headers}/wizard)
install(FILES platform/core/Error.h DESTINATION ${zx_headers}/core)
install(FILES platform/com/ComTypes.h platform/com/ComPtr.h platform/com/ComRuntime.h
              platform/com/ComRegistry.h
        DESTINATION ${zx_headers}/com)
install(FILES platform/dbkit/HostDatabase.h platform/dbkit/Value.h platform/dbkit/QtSqlDatabase.h
              platform/dbkit/ConnectionText.h platform/dbkit/TransactionGuard.h
        DESTINATION ${zx_headers}/dbkit)

set(zx_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/ZXWizard)
install(EXPORT ZXWizardTargets NAMESPACE ZXWizard:: DESTINATION ${zx_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZXWizardConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES cmake/ZXWizardConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/ZXWizardConfigVersion.cmake
        DESTINATION ${zx_cmake_dir})

# pkg-config files name their prefix relative to where they lie.
file(RELATIVE_PATH ZX_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" ZX_PC_TO_PREFIX "${ZX_PC_TO_PREFIX}")
foreach(pc zxwizard zxwizard-cxx)
    configure_file(cmake/${pc}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# Manual pages are shipped compressed, without a time stamp.
set(zx_man ${CMAKE_CURRENT_BINARY_DIR}/zxwizard.1.gz)
add_custom_command(OUTPUT ${zx_man}
                   COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/doc/zxwizard.1 > ${zx_man}
                   DEPENDS doc/zxwizard.1 VERBATIM)
add_custom_target(zxwizard-man ALL DEPENDS ${zx_man})
install(FILES ${zx_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES doc/zxwizard.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME zxwizard)
