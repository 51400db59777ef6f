# What `cmake --install` puts where on Linux, and the Debian package CPack makes of it
# (scripts/package-linux.sh). The programs go to bin; the simulated reader's libtagvane.so to its
# private folder (UHF_PRIVATE_LIBDIR), off the library search path, so that a vendor library
# installed in the system's folders is found first; the desktop entry, the icons in the hicolor
# theme, the AppStream metainfo, the man pages and the notes under share.

set(UHF_PRIVATE_DIR ${CMAKE_INSTALL_PREFIX}/${UHF_PRIVATE_LIBDIR})
set(linux ${PROJECT_SOURCE_DIR}/packaging/linux)
set(UHF_APPSTREAM_ID local.uhf_reader_tool.UhfReaderTool)

if(TARGET uhf-reader-tool)
  install(TARGETS uhf-reader-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/uhf-reader-tool.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/app-icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME uhf-reader-tool.png)
  endforeach()
  install(FILES ${linux}/${UHF_APPSTREAM_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(TARGETS uhf-readerctl tagvane-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tagvane LIBRARY DESTINATION ${UHF_PRIVATE_LIBDIR} NAMELINK_SKIP)

# Man pages: uhf-readerctl's from its own --help-all, when this machine can run it (and it is not
# instrumented: a sanitizer's report at exit would fail the build); the others written by hand.
set(man ${CMAKE_BINARY_DIR}/man)
configure_file(${linux}/uhf-readerctl.sections ${man}/uhf-readerctl.sections @ONLY)
configure_file(${linux}/tagvane-sim.1.in ${man}/tagvane-sim.1 @ONLY)
set(man_pages ${man}/tagvane-sim.1)
if(TARGET uhf-reader-tool)
  configure_file(${linux}/uhf-reader-tool.1.in ${man}/uhf-reader-tool.1 @ONLY)
  list(APPEND man_pages ${man}/uhf-reader-tool.1)
endif()
set(UHF_READERCTL_MAN_PAGE OFF)
if(NOT CMAKE_CROSSCOMPILING AND NOT UHF_SANITIZE AND NOT UHF_BUILD_FUZZ)
  set(UHF_READERCTL_MAN_PAGE ON)
  add_custom_command(OUTPUT ${man}/uhf-readerctl.1
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:uhf-readerctl> -DNAME=uhf-readerctl
            -DVERSION=${PROJECT_VERSION} -DSECTIONS=${man}/uhf-readerctl.sections
            -DAWK_SCRIPT=${linux}/help-to-man.awk -DOUTPUT=${man}/uhf-readerctl.1
            -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS uhf-readerctl ${man}/uhf-readerctl.sections ${linux}/help-to-man.awk
            ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake VERBATIM)
  list(APPEND man_pages ${man}/uhf-readerctl.1)
endif()

set(UHF_PACKAGE_CONTACT "UHF reader tool maintainers <uhf-reader-tool@localhost>")
configure_file(${linux}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
configure_file(${linux}/README.Debian ${CMAKE_BINARY_DIR}/README.Debian @ONLY)

# Man pages and the changelog go compressed, as Debian keeps them.
find_program(UHF_GZIP gzip REQUIRED)
set(compressed "")
foreach(file ${man_pages} ${CMAKE_BINARY_DIR}/changelog)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND sh -c "\"$1\" -9n <\"$2\" >\"$2.gz\"" sh ${UHF_GZIP} ${file}
    DEPENDS ${file} VERBATIM)
  list(APPEND compressed ${file}.gz)
endforeach()
add_custom_target(uhf_compressed_docs ALL DEPENDS ${compressed})
list(TRANSFORM man_pages APPEND .gz)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/README.Debian ${CMAKE_BINARY_DIR}/changelog.gz
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/uhf-reader-tool)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME uhf-reader-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${UHF_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure a UHF RFID reader (Wiegand 26/34 output)")
set(CPACK_PACKAGE_DESCRIPTION
    "A window (uhf-reader-tool) that reads the whole configuration of a\n\
stand-alone UHF RFID reader reporting tags as Wiegand 26/34 card numbers,\n\
or writes its factory configuration, and a companion command (uhf-readerctl)\n\
running the same operations from scripts, with profiles, tag reads and a\n\
station mode for production lines.\n\
.\n\
The reader vendor's driver library libtagvane.so is used when it is\n\
installed in the system's library folders; otherwise a simulated reader,\n\
included, stands in.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's texts are Chinese: without a CJK font every character is a box.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-wqy-zenhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
