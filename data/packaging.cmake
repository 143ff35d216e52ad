# The Debian package, built by CPack's DEB generator (scripts/package): quorvane_VERSION_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Quorvane developers <quorvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "search, poll and receive sensor modules on a LAN")
set(CPACK_PACKAGE_DESCRIPTION "Quorvane is a desktop tool for a LAN of small sensor modules (temperature,
humidity, six digital inputs) built around an embedded serial-to-Ethernet
server. It searches the LAN for modules and lists them, polls them on a
timer and shows their readings, and receives the readings that modules in
active-upload mode push to it.

quorvane-cli does the same for scripts, without a window: it prints the
search, the readings and the uploads as text, CSV or JSON.

The package gives /usr/bin/quorvane and /usr/bin/quorvane-cli the
capability cap_net_raw, so that an ordinary user also finds the modules
outside the PC's subnets.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_notes.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps adds the libraries; postinst needs setcap.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
# Without a CJK font the window's texts are boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
