# Install layout of a Linux desktop program: the executable and its template in a
# private folder (the program finds master.gen beside its real executable), a link
# in bin/, desktop entry, icon theme icons, AppStream metainfo and manual page.
include(GNUInstallDirs)

set(MOVILIBRO_APP_ID it.movilibro.Movilibro)
set(MOVILIBRO_RELEASE_DATE 2026-12-06)
# Folder, under the prefix, of the executable and its template.
set(MOVILIBRO_INSTALL_PRIVATEDIR ${CMAKE_INSTALL_LIBDIR}/movilibro)
set(MOVILIBRO_ICON_SIZES 16 22 24 32 48 64 128 256)

set(packaging_src ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_out})

install(TARGETS movilibro RUNTIME DESTINATION ${MOVILIBRO_INSTALL_PRIVATEDIR})
install(FILES ${MASTER_GEN} DESTINATION ${MOVILIBRO_INSTALL_PRIVATEDIR})

# A relative link keeps an unpacked package or a moved prefix working.
if(IS_ABSOLUTE "${MOVILIBRO_INSTALL_PRIVATEDIR}")
  set(link_target ${MOVILIBRO_INSTALL_PRIVATEDIR}/movilibro)
elseif(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(link_target ${CMAKE_INSTALL_PREFIX}/${MOVILIBRO_INSTALL_PRIVATEDIR}/movilibro)
else()
  file(RELATIVE_PATH link_target /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${MOVILIBRO_INSTALL_PRIVATEDIR}/movilibro)
endif()
file(REMOVE ${packaging_out}/movilibro)
file(CREATE_LINK ${link_target} ${packaging_out}/movilibro SYMBOLIC)
install(FILES ${packaging_out}/movilibro DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${packaging_src}/${MOVILIBRO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_src}/${MOVILIBRO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(MOVILIBRO_MAN_DATE ${MOVILIBRO_RELEASE_DATE})
configure_file(${packaging_src}/movilibro.1.in ${packaging_out}/movilibro.1 @ONLY)
install(FILES ${packaging_out}/movilibro.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Icons: the artwork itself, and PNGs rendered from it for themes and docks that
# want bitmaps.
set(artwork ${CMAKE_SOURCE_DIR}/resources/icons/movilibro.svg)
install(FILES ${artwork} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MOVILIBRO_APP_ID}.svg)

add_executable(svgtopng ${CMAKE_SOURCE_DIR}/tools/svgtopng.cpp)
target_link_libraries(svgtopng PRIVATE Qt6::Gui Qt6::Svg)

set(icon_pngs)
foreach(size IN LISTS MOVILIBRO_ICON_SIZES)
  set(dir ${packaging_out}/icons/${size}x${size}/apps)
  set(png ${dir}/${MOVILIBRO_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND svgtopng ${artwork} ${size} ${png}
    DEPENDS svgtopng ${artwork}
    COMMENT "Rendering the ${size}x${size} icon")
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(desktop_icons ALL DEPENDS ${icon_pngs})
