# The Debian package (scripts/package): the application folder under /usr/lib/parkmarq, marked as an
# installed copy so that every user works in a folder of their own; parkmarq and parkmarq-batch on the
# PATH; the desktop entry, the icon theme's sizes and the AppStream metainfo with a screenshot of the
# window taken by the build; the licence as the machine-readable copyright file, the changelog, the
# third-party notice and the manual pages, the one of parkmarq-batch made from its --help.
option(PARKMARQ_PACKAGE "Lay out the installation as the Debian package (then cpack -G DEB)" OFF)
set(PARKMARQ_APP_ID "org.example.parkmarq" CACHE STRING "Reverse-DNS name of the desktop entry and metainfo")
set(PARKMARQ_HOMEPAGE "https://parkmarq.example.org" CACHE STRING "Web address; the screenshot is published below it")
set(PARKMARQ_CONTACT "parkmarq maintainers <maintainers@parkmarq.example.org>" CACHE STRING "Package maintainer")
set(PARKMARQ_RELEASE_DATE "2026-12-07")  # of PROJECT_VERSION
set(PARKMARQ_SCREENSHOT_NAME "main-window.png")

# Where the application folder is installed, below the prefix.
if(PARKMARQ_PACKAGE)
  set(PARKMARQ_INSTALL_APP_DIR "lib/parkmarq")
else()
  set(PARKMARQ_INSTALL_APP_DIR "parkmarq")
endif()

# Called once every program exists.
function(parkmarq_package)
  if(NOT PARKMARQ_PACKAGE)
    return()
  endif()
  set(staging "${CMAKE_BINARY_DIR}/package")
  set(source "${PROJECT_SOURCE_DIR}/data/desktop")
  configure_file("${source}/parkmarq.desktop.in" "${staging}/${PARKMARQ_APP_ID}.desktop" @ONLY)
  configure_file("${source}/parkmarq.metainfo.xml.in" "${staging}/${PARKMARQ_APP_ID}.metainfo.xml" @ONLY)

  install(FILES "${source}/${PARKMARQ_INSTALLED_MARKER}" DESTINATION "${PARKMARQ_INSTALL_APP_DIR}")
  file(MAKE_DIRECTORY "${staging}/bin")
  foreach(program parkmarq parkmarq-batch)
    file(CREATE_LINK "../${PARKMARQ_INSTALL_APP_DIR}/${program}" "${staging}/bin/${program}" SYMBOLIC)
    install(FILES "${staging}/bin/${program}" DESTINATION bin)
  endforeach()
  install(FILES "${staging}/${PARKMARQ_APP_ID}.desktop" DESTINATION share/applications)
  install(DIRECTORY "${PARKMARQ_ICON_THEME_DIR}" DESTINATION share/icons)
  install(FILES "${staging}/${PARKMARQ_APP_ID}.metainfo.xml" DESTINATION share/metainfo)

  set(screenshot "${staging}/${PARKMARQ_SCREENSHOT_NAME}")
  add_custom_command(OUTPUT "${screenshot}"
                     COMMAND "${PROJECT_SOURCE_DIR}/data/make_screenshot.sh" "$<TARGET_FILE:parkmarq>" "${screenshot}"
                     DEPENDS parkmarq parkmarq-batch bglc demo_catalogue "${PROJECT_SOURCE_DIR}/data/make_screenshot.sh")
  add_custom_target(screenshot ALL DEPENDS "${screenshot}")
  install(FILES "${screenshot}" DESTINATION share/doc/parkmarq/screenshots)

  set(doc share/doc/parkmarq)
  set(debian "${PROJECT_SOURCE_DIR}/packaging/debian")
  # The copyright file carries LICENSE's own text, in the format's indented form.
  file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
  string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" license "${license}")  # the title and the copyright line
  string(STRIP "${license}" license)
  string(REPLACE "\n\n" "\n.\n" license "${license}")
  string(REPLACE "\n" "\n " PARKMARQ_LICENSE_TEXT " ${license}")
  configure_file("${debian}/copyright.in" "${staging}/copyright" @ONLY)
  execute_process(COMMAND date -u -R -d "${PARKMARQ_RELEASE_DATE} 12:00" OUTPUT_VARIABLE PARKMARQ_RELEASE_TIME
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  configure_file("${debian}/changelog.in" "${staging}/changelog" @ONLY)
  install(FILES "${staging}/copyright" "${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt" DESTINATION ${doc})

  # The batch program's page is made from its --help, so the two cannot drift apart. The line that
  # names the building machine's application folder is left out, and the further usage lines are
  # marked as help2man reads them.
  set(help "${staging}/help/parkmarq-batch")
  string(CONCAT help_script "#!/bin/sh\n\"$<TARGET_FILE:parkmarq-batch>\" \"$@\" | grep -v '^Application folder:' |\n"
         "  sed 's/^ *\\(parkmarq-batch \\)/  or: \\1/'\n")
  file(GENERATE OUTPUT "${help}" CONTENT "${help_script}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  add_custom_command(OUTPUT "${staging}/parkmarq-batch.1"
                     COMMAND help2man --no-info --version-string=${PROJECT_VERSION} --include "${debian}/parkmarq-batch.h2m"
                             --output "${staging}/parkmarq-batch.1" "${help}"
                     DEPENDS parkmarq-batch "${help}" "${debian}/parkmarq-batch.h2m")
  # Compressed as Debian wants them, without a time stamp.
  set(compressed)
  foreach(file "${staging}/changelog" "${debian}/parkmarq.1" "${staging}/parkmarq-batch.1")
    get_filename_component(name "${file}" NAME)
    add_custom_command(OUTPUT "${staging}/${name}.gz" COMMAND gzip -9nc "${file}" > "${staging}/${name}.gz"
                       DEPENDS "${file}")
    list(APPEND compressed "${staging}/${name}.gz")
  endforeach()
  add_custom_target(package_documents ALL DEPENDS ${compressed})
  install(FILES "${staging}/changelog.gz" DESTINATION ${doc})
  install(FILES "${staging}/parkmarq.1.gz" "${staging}/parkmarq-batch.1.gz" DESTINATION share/man/man1)

  # The link server stands in for the simulator's add-on in tests and demonstrations: not for users.
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};parkmarq;Unspecified;/")
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME parkmarq)
  set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
  set(CPACK_PACKAGE_CONTACT "${PARKMARQ_CONTACT}")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build docking guidance models for airport scenery")
  # Lines of at most 80 characters, as Debian's policy asks.
  string(CONCAT CPACK_PACKAGE_DESCRIPTION
         "Parkmarq builds the 3D model of the visual docking guidance display at an\n"
         "airport stand from a template and four values, and runs the scenery compiler\n"
         "on it, the simulator's own through Wine. A batch program builds every stand\n"
         "of an airport from one table.")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PARKMARQ_HOMEPAGE}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # What dpkg-shlibdeps cannot see: Qt loads its X11 platform plugin at run time, and the window
  # loads its layout's font, Liberation Sans, from its file.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
  include(CPack)
endfunction()
