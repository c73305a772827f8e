# cmake --install lays Ledgrix out as a desktop program: the two programs, a desktop entry,
# AppStream metadata, the icon as SVG and PNGs rendered from it at build time, man pages and
# the user guide. ledgrix-cli's own install rule lives with its target.
include(GNUInstallDirs)

set(LEDGRIX_APP_ID example.ledgrix.Ledgrix)
# The date of the release project(VERSION) names; move both together.
set(LEDGRIX_RELEASE_DATE 2026-12-07)
set(LEDGRIX_ICON_SIZES 16 24 32 48 64 128 256)
set(LEDGRIX_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/ledgrix)

set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging)
set(man_dir ${CMAKE_BINARY_DIR}/man)
set(man_pages)

# Pages are built, compressed, with the programs; a program that must run at build time cannot
# when cross-compiling.
if(UNIX AND NOT APPLE AND NOT CMAKE_CROSSCOMPILING)
  find_program(HELP2MAN_EXECUTABLE help2man)
  if(HELP2MAN_EXECUTABLE)
    # ledgrix-cli's page comes from its own --help and each command's, so it never goes stale.
    add_custom_command(OUTPUT ${man_dir}/ledgrix-cli.1.gz
      COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:ledgrix-cli> -DHELP2MAN=${HELP2MAN_EXECUTABLE}
        -DINCLUDE=${packaging_dir}/ledgrix-cli.h2m -DOUTPUT=${man_dir}/ledgrix-cli.1
        -P ${CMAKE_SOURCE_DIR}/cmake/CliManPage.cmake
      COMMAND gzip -9nf ${man_dir}/ledgrix-cli.1
      DEPENDS ledgrix-cli ${CMAKE_SOURCE_DIR}/cmake/CliManPage.cmake ${packaging_dir}/ledgrix-cli.h2m
      COMMENT "Generating the ledgrix-cli man page" VERBATIM)
    list(APPEND man_pages ${man_dir}/ledgrix-cli.1.gz)
  else()
    message(WARNING "help2man not found: ledgrix-cli's man page is not built")
  endif()

  if(LEDGRIX_BUILD_GUI)
    # The program has no options of its own, so its page is written by hand.
    configure_file(${packaging_dir}/ledgrix.1.in ${man_dir}/ledgrix.1 @ONLY)
    add_custom_command(OUTPUT ${man_dir}/ledgrix.1.gz
      COMMAND gzip -9nkf ${man_dir}/ledgrix.1
      DEPENDS ${man_dir}/ledgrix.1 VERBATIM)
    list(APPEND man_pages ${man_dir}/ledgrix.1.gz)

    set(icon_svg ${CMAKE_SOURCE_DIR}/resources/icons/ledgrix.svg)
    set(icon_dir ${CMAKE_BINARY_DIR}/icons)
    set(icon_pngs)
    foreach(size ${LEDGRIX_ICON_SIZES})
      set(png ${icon_dir}/${size}x${size}/apps/${LEDGRIX_APP_ID}.png)
      list(APPEND icon_pngs ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_command(OUTPUT ${icon_pngs}
      COMMAND ledgrix-render-icon ${icon_svg} ${icon_dir} ${LEDGRIX_APP_ID} ${LEDGRIX_ICON_SIZES}
      DEPENDS ledgrix-render-icon ${icon_svg}
      COMMENT "Rendering the program icon" VERBATIM)
    add_custom_target(ledgrix_icons ALL DEPENDS ${icon_pngs})
    install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
      RENAME ${LEDGRIX_APP_ID}.svg)

    install(FILES ${packaging_dir}/${LEDGRIX_APP_ID}.desktop
      DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${packaging_dir}/${LEDGRIX_APP_ID}.metainfo.xml.in
      ${CMAKE_BINARY_DIR}/${LEDGRIX_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${LEDGRIX_APP_ID}.metainfo.xml
      DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  endif()

  add_custom_target(ledgrix_man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(LEDGRIX_BUILD_GUI)
  install(TARGETS ledgrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/help/guide.html DESTINATION ${LEDGRIX_DOC_DIR})
endif()
