# What the desktop needs beside the programs: the menu entry, the icon in the
# hicolor theme, AppStream metainfo, manual pages, bash completion, and the
# documents a Debian package carries.

set(RXT_DATA ${PROJECT_SOURCE_DIR}/data)
set(RXT_DATA_OUT ${PROJECT_BINARY_DIR}/data)

install(FILES ${RXT_DATA}/rxt-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RXT_DATA}/org.rxt7100.config.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${RXT_DATA}/completion/rxtctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# ---- icon: the SVG as drawn, PNG sizes rendered from it at build time
set(RXT_ICON_SVG ${RXT_DATA}/icons/rxt-config.svg)
install(FILES ${RXT_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(RXT_RSVG_CONVERT rsvg-convert)
if(RXT_RSVG_CONVERT)
  set(RXT_ICON_PNGS)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${RXT_DATA_OUT}/icons/${size}x${size}/rxt-config.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${RXT_DATA_OUT}/icons/${size}x${size}
      COMMAND ${RXT_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${RXT_ICON_SVG}
      DEPENDS ${RXT_ICON_SVG} VERBATIM)
    list(APPEND RXT_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(rxt_icons ALL DEPENDS ${RXT_ICON_PNGS})
else()
  # The install check reports the missing sizes.
  message(WARNING "rsvg-convert (Debian: librsvg2-bin) not found: the PNG icons are not built")
endif()

# ---- manual pages and the package's changelog, compressed as Debian wants
find_program(RXT_GZIP gzip REQUIRED)
set(RXT_GZIPPED)
foreach(page rxt-config rxtctl rxt-sim)
  set(out ${RXT_DATA_OUT}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${RXT_DATA_OUT}/man
    COMMAND ${RXT_GZIP} -9nc ${RXT_DATA}/man/${page}.1 > ${out}
    DEPENDS ${RXT_DATA}/man/${page}.1)
  list(APPEND RXT_GZIPPED ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(RXT_CHANGELOG_GZ ${RXT_DATA_OUT}/changelog.gz)
add_custom_command(OUTPUT ${RXT_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RXT_DATA_OUT}
  COMMAND ${RXT_GZIP} -9nc ${RXT_DATA}/debian/changelog > ${RXT_CHANGELOG_GZ}
  DEPENDS ${RXT_DATA}/debian/changelog)
list(APPEND RXT_GZIPPED ${RXT_CHANGELOG_GZ})
add_custom_target(rxt_gzipped_docs ALL DEPENDS ${RXT_GZIPPED})
install(FILES ${RXT_DATA}/debian/copyright ${RXT_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rxt-config)

# ---- the check that an install into a scratch folder is whole and valid
if(RXT_BUILD_TESTS)
  enable_testing()
  add_test(NAME install_files
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/check-install ${CMAKE_COMMAND}
                   ${PROJECT_BINARY_DIR})
  # 77: a validator is not installed.
  set_tests_properties(install_files PROPERTIES LABELS install SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
