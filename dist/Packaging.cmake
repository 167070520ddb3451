# The Debian package: cpack -G DEB in the build folder writes rorevadi_<version>_amd64.deb.
# It installs under /usr whatever CMAKE_INSTALL_PREFIX the build folder was configured with:
# the programs find their data relative to their own folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rorevadi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Rorevadi contributors")
set(CPACK_PACKAGE_CONTACT "The Rorevadi contributors <maintainers@rorevadi.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "yield point and ductility of load-displacement curves")
set(CPACK_PACKAGE_DESCRIPTION
    "Rorevadi Zadiz ovo Rudevadiz reads the load-displacement curve of a structural
test or an analysis from a CSV or text file and finds its characteristic
points: the peak load, the ultimate displacement, the initial secant
stiffness, the yield point by the Geometric Graphic, Equivalent
Elasto-Plastic Energy and R.Park methods with their mean, and the ductility
by each method. The curve and every construction are drawn in the window.
The results go to a CSV report, the chart to a picture and the chart's data
to an Excel workbook with a native scatter chart.
.
The package also holds rorevadi-cli, a batch tool that analyses many files
without a display and writes text, JSON, reports, pictures and workbooks.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.rorevadi.example")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which Qt only recommends.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Web links and opening workbooks go through xdg-open; the captions in Chinese need a CJK font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-noto-cjk | fonts-wqy-zenhei")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
