# Installs BUILD_DIR into PREFIX and checks the files a desktop and man look for.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()

set(share ${PREFIX}/share)
set(expected bin/ledgrix-cli share/man/man1/ledgrix-cli.1.gz)
if(GUI)
  list(APPEND expected bin/ledgrix share/man/man1/ledgrix.1.gz share/doc/ledgrix/guide.html
    share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg)
endif()
foreach(path ${expected})
  if(NOT EXISTS ${PREFIX}/${path})
    message(SEND_ERROR "missing ${path}")
  endif()
endforeach()

if(GUI)
  # Each PNG holds the size its folder names (IHDR width and height, big-endian).
  foreach(size ${ICON_SIZES})
    set(png ${share}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
    math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" hex ${hex})
    string(LENGTH ${hex} digits)
    math(EXPR pad "8 - ${digits}")
    string(REPEAT 0 ${pad} zeros)
    if(NOT header STREQUAL "${zeros}${hex}${zeros}${hex}")
      message(SEND_ERROR "${png} is not ${size}x${size}: IHDR ${header}")
    endif()
  endforeach()
  # The desktop entry names the installed icon; the metadata names the desktop entry and this
  # release.
  file(READ ${share}/applications/${APP_ID}.desktop entry)
  file(READ ${share}/metainfo/${APP_ID}.metainfo.xml metainfo)
  foreach(needle "\nIcon=${APP_ID}\n" "\nExec=ledgrix\n")
    string(FIND "${entry}" "${needle}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "the desktop entry lacks ${needle}")
    endif()
  endforeach()
  foreach(needle "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
      "<release version=\"${VERSION}\"")
    string(FIND "${metainfo}" "${needle}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "the AppStream metadata lacks ${needle}")
    endif()
  endforeach()
endif()

execute_process(COMMAND ${PREFIX}/bin/ledgrix-cli --version OUTPUT_VARIABLE version)
if(NOT version MATCHES "^ledgrix-cli ${VERSION}\n")
  message(SEND_ERROR "installed ledgrix-cli --version says '${version}'")
endif()
