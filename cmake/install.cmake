# `make install` and `make package`: the panel, the simulator, and a menu entry
# that starts the panel in a folder of the user's own (see tallomir-menu).
include(GNUInstallDirs)

install(TARGETS tallomir tallomir-armsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS packaging/tallomir-menu DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/tallomir.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/tallomir.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallomir)
set(CPACK_PACKAGE_VENDOR "Tallomir")
set(CPACK_PACKAGE_CONTACT "Tallomir developers <tallomir@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries the two programs link are found by dpkg-shlibdeps. GLFW opens
# OpenGL and the X extensions at run time, out of its sight: those are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libgl1, libxext6, libxrandr2, libxinerama1, libxcursor1, libxi6")
# The software renderer, for a machine whose display has no other OpenGL driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
