# The Debian package: `cpack -G DEB` in the build folder writes
# velmora_<version>_<arch>.deb (scripts/package-test.sh builds, checks and
# tries it). Its files, all under /usr and all the package manager's:
#
#   lib/velmora/Dorvak, softup.dll     the program and its version file
#   lib/velmora/installed-by-package-manager
#                                      the mark of a package install: the
#                                      online upgrade then leaves the files
#                                      to the system's software updates
#   lib/velmora/velmora-search         the search from the terminal
#   bin/velmora                        the launcher, a link to the program
#   bin/velmora-search                 a link to the terminal search
#   share/velmora/dorvak.dat           the read-only demo database, copied
#                                      on the first start into the user's
#                                      ~/.local/share/velmora
#   share/applications, share/icons/hicolor, share/metainfo
#                                      the menu entry, the icons, AppStream
#   share/doc/velmora, share/man/man1  copyright, changelog, manual pages
#
# The program and the icons are the install component "program", shared
# with a user's install; the rest is the component "package", which a plain
# `cmake --install` leaves out. The user's own install (component "user")
# writes its database and version file beside the program instead.

set(VELMORA_APPSTREAM_ID "example.kestrune.velmora")
set(package_files "${CMAKE_CURRENT_BINARY_DIR}/package")

# The menu entry of a system-wide install starts the launcher on the PATH.
set(VELMORA_EXEC velmora)
set(VELMORA_TRY_EXEC velmora)
set(VELMORA_WM_CLASS Velmora)
configure_file(velmora.desktop.in "${package_files}/velmora.desktop" @ONLY)
configure_file(velmora.metainfo.xml.in "${package_files}/${VELMORA_APPSTREAM_ID}.metainfo.xml" @ONLY)

install(FILES "${package_files}/velmora.desktop" DESTINATION share/applications
        COMPONENT package EXCLUDE_FROM_ALL)
install(FILES "${package_files}/${VELMORA_APPSTREAM_ID}.metainfo.xml" DESTINATION share/metainfo
        COMPONENT package EXCLUDE_FROM_ALL)
install(FILES softup.dll installed-by-package-manager DESTINATION ${VELMORA_PROGRAM_DIR}
        COMPONENT package EXCLUDE_FROM_ALL)
install(FILES copyright DESTINATION share/doc/velmora COMPONENT package EXCLUDE_FROM_ALL)
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  # Debian wants the changelog and the manual page compressed, without a
  # time stamp in the archive.
  foreach(pair \"changelog;share/doc/velmora/changelog.gz\" \"velmora.1;share/man/man1/velmora.1.gz\"
               \"velmora-search.1;share/man/man1/velmora-search.1.gz\")
    list(GET pair 0 source)
    list(GET pair 1 target)
    get_filename_component(folder \"\${root}/\${target}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${folder}\")
    execute_process(COMMAND gzip -9 -n -c \"${CMAKE_CURRENT_SOURCE_DIR}/\${source}\"
                    OUTPUT_FILE \"\${root}/\${target}\" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"gzip \${source} failed\")
    endif()
  endforeach()

  file(MAKE_DIRECTORY \"\${root}/bin\")
  file(CREATE_LINK ../${VELMORA_PROGRAM_DIR}/Dorvak \"\${root}/bin/velmora\" SYMBOLIC)
  file(CREATE_LINK ../${VELMORA_PROGRAM_DIR}/velmora-search \"\${root}/bin/velmora-search\" SYMBOLIC)

  file(MAKE_DIRECTORY \"\${root}/share/velmora\")
  execute_process(COMMAND \"$<TARGET_FILE:make_demo_db>\" --out \"\${root}/share/velmora/dorvak.dat\"
                          --companies 5000
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR \"make_demo_db failed (\${status})\")
  endif()
  file(CHMOD \"\${root}/share/velmora/dorvak.dat\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
" COMPONENT package EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR Kestrune)
set(CPACK_PACKAGE_CONTACT "Velmora developers <${VELMORA_VENDOR_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "directory of Chinese companies")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora lists Chinese companies by province and city, with their
addresses, telephone numbers, web sites, main products and profiles. It
builds compound queries, searches one field as the user types, and looks up
the province, city and card type of a mobile number and the area and postal
codes of a place. Its windows are in Simplified Chinese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_VENDOR_URL}")
# The libraries the program links, by name through dpkg-shlibdeps, and what
# it needs beyond them: the Chinese fonts its windows are drawn with, the
# desktop's opener for its links, Qt's Chinese texts and platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, xdg-utils, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};Velmora;program;/"
    "${CMAKE_BINARY_DIR};Velmora;package;/")
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}/package")
include(CPack)
