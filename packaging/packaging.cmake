# Everything that turns the build into an installed program: the icons and the window
# icon, the desktop entry, the AppStream metainfo with its screenshot, the man page, the
# install rules and the Debian package.
include(GNUInstallDirs)

set(PKG_DIR ${CMAKE_BINARY_DIR}/packaging)
set(PKG_SRC ${CMAKE_SOURCE_DIR}/packaging)

# --- icons: drawn by the art generator, one picture per size ---------------------------
set(ICON_SIZES 16 24 32 48 64 128 256)
set(ICON_DIR ${PKG_DIR}/icons)
set(WINDOW_ICON_FILE ${ICON_DIR}/window_icon.rgba)
set(ICON_FILES ${WINDOW_ICON_FILE})
foreach(size ${ICON_SIZES})
    list(APPEND ICON_FILES ${ICON_DIR}/hicolor/${size}x${size}/apps/${TALLREED_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${ICON_FILES}
    COMMAND ${PYTHON} ${CMAKE_SOURCE_DIR}/tools/art/gen_icons.py --out ${ICON_DIR}
            --id ${TALLREED_APP_ID}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/art/gen_icons.py ${ART_SCRIPTS}
    COMMENT "Drawing the icons" VERBATIM)
add_custom_target(icons ALL DEPENDS ${ICON_FILES})

# The desktop backend names its window after the application id, shows the window icon
# and answers --version.
configure_file(${CMAKE_SOURCE_DIR}/cmake/window_icon.S.in ${PKG_DIR}/window_icon.S @ONLY)
set_source_files_properties(${PKG_DIR}/window_icon.S PROPERTIES OBJECT_DEPENDS ${WINDOW_ICON_FILE})
target_sources(tr_platform_sdl PRIVATE ${PKG_DIR}/window_icon.S)
add_dependencies(tr_platform_sdl icons)
foreach(target tr_platform_sdl test_sdl)
    if(TARGET ${target})
        target_compile_definitions(${target} PRIVATE
            TALLREED_VERSION="${PROJECT_VERSION}" TALLREED_APP_ID="${TALLREED_APP_ID}")
    endif()
endforeach()

# --- desktop entry, metainfo, man page -------------------------------------------------
set(SCREENSHOT_SCALE 3)
math(EXPR SCREENSHOT_WIDTH "320 * ${SCREENSHOT_SCALE}")
math(EXPR SCREENSHOT_HEIGHT "240 * ${SCREENSHOT_SCALE}")
configure_file(${PKG_SRC}/tallreed.desktop.in ${PKG_DIR}/${TALLREED_APP_ID}.desktop @ONLY)
configure_file(${PKG_SRC}/tallreed.metainfo.xml.in ${PKG_DIR}/${TALLREED_APP_ID}.metainfo.xml @ONLY)
configure_file(${PKG_SRC}/tallreed.6.in ${PKG_DIR}/tallreed.6 @ONLY)

# The store's screenshot: the simulator's main menu, scaled like the window shows it.
# Software centres fetch screenshots from the web, so the metainfo names where this file
# is published; the build makes it, always the same bytes for the same game.
if(TARGET tallreed-sim)
    set(SCREENSHOT ${PKG_DIR}/screenshots/main-menu.png)
    add_custom_command(OUTPUT ${SCREENSHOT}
        COMMAND ${PYTHON} ${PKG_SRC}/screenshot.py $<TARGET_FILE:tallreed-sim>
                ${PKG_SRC}/screenshot.sim ${SCREENSHOT_SCALE} ${SCREENSHOT}
        DEPENDS tallreed-sim ${PKG_SRC}/screenshot.py ${PKG_SRC}/screenshot.sim
        COMMENT "Taking the screenshot" VERBATIM)
    add_custom_target(screenshot ALL DEPENDS ${SCREENSHOT})
endif()

# --- install -------------------------------------------------------------------------------
option(TALLREED_INSTALL_TOOLS "Also install the simulator and the resource tools" OFF)
install(TARGETS tallreed RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TALLREED_INSTALL_TOOLS)
    foreach(tool tallreed-sim pctool tallreed-modrender)
        if(TARGET ${tool})
            install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        endif()
    endforeach()
endif()
install(FILES ${PKG_DIR}/${TALLREED_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PKG_DIR}/${TALLREED_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${ICON_SIZES})
    install(FILES ${ICON_DIR}/hicolor/${size}x${size}/apps/${TALLREED_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PKG_DIR}/tallreed.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- the Debian package: `make package` ---------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallreed)
set(CPACK_PACKAGE_VENDOR Quenmoor)
set(CPACK_PACKAGE_CONTACT "Tallreed maintainers <tallreed@quenmoor.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "duck shoot over a scrolling lake")
# Debian wants the long description in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tallreed is a shooting gallery for one player. Ducks fly across a lakeside"
    "panorama in late-afternoon light; you aim and shoot with the mouse, reload a"
    "seven-shell magazine and scroll the lake left and right to find your targets."
    "Shoot drifting leaves that may turn out to be clocks or a bonus flock, and keep"
    "away from the red birds and the fisherman. A round lasts three minutes; the ten"
    "best scores are kept under your name.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Debian's layout for games and its compressed documentation, applied to the staged
# tree just before it is packed (a plain `cmake --install` keeps bin/ and plain files).
set(CPACK_PRE_BUILD_SCRIPTS ${PKG_SRC}/deb_layout.cmake)
# The changelog's entry is dated on the release day, so the package is the same
# whichever day it is built.
execute_process(COMMAND date -u -R -d ${TALLREED_RELEASE_DATE}
    OUTPUT_VARIABLE TALLREED_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PKG_SRC}/changelog.in ${PKG_DIR}/changelog @ONLY)
# CPack hands every CPACK_ variable on to the script above.
set(CPACK_TALLREED_CHANGELOG ${PKG_DIR}/changelog)
set(CPACK_TALLREED_COPYRIGHT ${PKG_SRC}/copyright)
include(CPack)

# The two install tests write the build's install_manifest.txt: one at a time.
if(TEST e2e_install_tree AND TEST e2e_installed_game)
    set_tests_properties(e2e_install_tree e2e_installed_game PROPERTIES RESOURCE_LOCK install)
endif()
