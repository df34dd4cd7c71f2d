# `cpack` in the build folder makes a Debian package of what `cmake --install`
# puts in place: the program, its desktop entry, icons, AppStream metainfo, the
# manual page and the shell completions.
install(FILES ${PROJECT_SOURCE_DIR}/data/org.corvalint.Corvalint.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvalint)
set(CPACK_PACKAGE_VENDOR Corvalint)
set(CPACK_PACKAGE_CONTACT "Corvalint maintainers <maintainers@corvalint.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Capture and restore workspaces of applications and windows")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries the program links, with their versions, as dpkg-shlibdeps reads them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What it loads at run time without linking it: the same list scripts/install-deps installs.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/runtime-packages _runtime_packages REGEX "^[a-z0-9]")
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS ${_runtime_packages})
# Only what a user runs: the program's own install rules, not those of test tools.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)

# The package built, unpacked into an empty tree and run from there.
if(BUILD_TESTING)
  add_test(NAME package COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-package ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES LABELS package TIMEOUT 300)
endif()
