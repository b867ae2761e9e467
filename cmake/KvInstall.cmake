# What `cmake --install` puts where: the program and its builder edition, the window module, the
# sample drive profiles, the desktop entry, the icon, the AppStream metainfo and the manual page.
set(KV_APP_ID org.krellvane.Krellvane)
set(KV_ICON_SIDES 16 22 24 32 48 64 128 256)

install(TARGETS krellvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The builder edition is made from the installed (possibly stripped) program, so that it is that
# program byte for byte apart from the build flag.
install(CODE "
  set(kv_bin \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}\")
  message(STATUS \"Installing: \${kv_bin}/krellvane-builder\")
  execute_process(COMMAND \"$<TARGET_FILE:kv_make_edition>\" \"\${kv_bin}/krellvane\"
                          \"\${kv_bin}/krellvane-builder\" RESULT_VARIABLE kv_result)
  if(NOT kv_result EQUAL 0)
    message(FATAL_ERROR \"cannot write the builder edition: \${kv_result}\")
  endif()
")
if(KV_BUILD_GUI AND NOT WIN32)
  install(TARGETS krellvane-gui LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/krellvane)
endif()

file(GLOB KV_SAMPLE_PROFILES ${CMAKE_CURRENT_SOURCE_DIR}/profiles/*.json)
install(FILES ${KV_SAMPLE_PROFILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/krellvane/profiles)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/profiles/README.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME profiles.md)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/examples/shop-edition.txt
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

install(FILES data/${KV_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${KV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/krellvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages, compressed as Debian wants them; the builder's page points at the program's.
set(KV_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
add_custom_command(OUTPUT ${KV_MAN_DIR}/krellvane.1.gz ${KV_MAN_DIR}/krellvane-builder.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_MAN_DIR}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/data/krellvane.1 > ${KV_MAN_DIR}/krellvane.1.gz
  COMMAND ${CMAKE_COMMAND} -E echo ".so man1/krellvane.1" > ${KV_MAN_DIR}/krellvane-builder.1
  COMMAND gzip -9n -f ${KV_MAN_DIR}/krellvane-builder.1
  DEPENDS data/krellvane.1
  COMMENT "Compressing the manual pages"
  VERBATIM)
add_custom_command(OUTPUT ${KV_MAN_DIR}/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/data/changelog > ${KV_MAN_DIR}/changelog.gz
  DEPENDS data/changelog
  VERBATIM)
add_custom_target(kv_man ALL DEPENDS ${KV_MAN_DIR}/krellvane.1.gz ${KV_MAN_DIR}/changelog.gz)
install(FILES ${KV_MAN_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KV_MAN_DIR}/krellvane.1.gz ${KV_MAN_DIR}/krellvane-builder.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icon's PNG sizes, drawn from the SVG by Qt's own renderer.
if(KV_BUILD_GUI AND NOT WIN32)
  add_executable(kv_render_icon data/render_icon.cpp)
  target_link_libraries(kv_render_icon PRIVATE Qt6::Gui Qt6::Svg)
  set(KV_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
  set(KV_ICON_PNGS)
  foreach(side IN LISTS KV_ICON_SIDES)
    list(APPEND KV_ICON_PNGS ${KV_ICON_DIR}/${side}x${side}/krellvane.png)
    install(FILES ${KV_ICON_DIR}/${side}x${side}/krellvane.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
  endforeach()
  add_custom_command(OUTPUT ${KV_ICON_PNGS}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      $<TARGET_FILE:kv_render_icon> ${CMAKE_CURRENT_SOURCE_DIR}/data/krellvane.svg ${KV_ICON_DIR}
      ${KV_ICON_SIDES}
    DEPENDS kv_render_icon data/krellvane.svg
    COMMENT "Drawing the icon's PNG sizes"
    VERBATIM)
  add_custom_target(kv_icons ALL DEPENDS ${KV_ICON_PNGS})
endif()
