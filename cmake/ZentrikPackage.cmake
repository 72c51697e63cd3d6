# Installing and packaging for Linux desktops: the programs, their manual pages, the desktop
# entry, the AppStream metainfo, the icon in the hicolor theme and the udev rule for the
# controller's bridge; and a Debian package of all that (cpack -G DEB, scripts/package.sh).
# The window `zentrik` is installed when the build has it.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

include(GNUInstallDirs)

set(ZENTRIK_LINUX_RES "${CMAKE_CURRENT_SOURCE_DIR}/res/linux")
set(ZENTRIK_ICON_SVG "${CMAKE_CURRENT_SOURCE_DIR}/res/images/zentrik-icon.svg")
set(ZENTRIK_PACKAGE_OUT "${CMAKE_BINARY_DIR}/package-files")
set(ZENTRIK_ICON_SIZES 16 24 32 48 64 128 256)
# udev reads rules from /usr/lib/udev/rules.d (Debian 12); relative to the /usr prefix.
set(ZENTRIK_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Folder of the udev rule, relative to the install prefix")
# The AppStream component id and the desktop entry's name. A reverse-DNS name is required; the
# project has no domain of its own, so this one is under the documentation domain example.org.
set(ZENTRIK_APP_ID "org.example.zentrik" CACHE STRING "AppStream id and desktop file name")
set(ZENTRIK_PACKAGE_MAINTAINER "Zentrik developers <developers@zentrik.example>" CACHE STRING
    "Maintainer field of the Debian package")

# The release date of the metainfo and the changelog: SOURCE_DATE_EPOCH when set, else today.
string(TIMESTAMP ZENTRIK_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP ZENTRIK_RELEASE_DATE_RFC2822 "%a, %d %b %Y 00:00:00 +0000" UTC)

# ---- programs ------------------------------------------------------------------------------
option(ZENTRIK_STRIP_INSTALLED "Strip the installed programs as Debian does (the package)" OFF)
foreach(program IN ITEMS zentrik zentrikctl zentrik-sim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        if(ZENTRIK_STRIP_INSTALLED AND CMAKE_STRIP)
            # Like dh_strip: debugging symbols and the compiler's notes go.
            install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                COMMAND_ERROR_IS_FATAL ANY)")
        endif()
    endif()
endforeach()

# ---- generated files: manual pages, metainfo, changelog, icon sizes -----------------------
find_program(ZENTRIK_GZIP gzip REQUIRED)
find_program(ZENTRIK_RSVG_CONVERT rsvg-convert REQUIRED)  # librsvg2-bin

set(package_outputs)
set(man_pages zentrikctl zentrik-sim)
if(TARGET zentrik)
    list(APPEND man_pages zentrik)
endif()
foreach(page IN LISTS man_pages)
    configure_file("${ZENTRIK_LINUX_RES}/man/${page}.1" "${ZENTRIK_PACKAGE_OUT}/${page}.1" @ONLY)
    # -n: no name or time stamp in the archive, so the file is the same on every build.
    add_custom_command(
        OUTPUT "${ZENTRIK_PACKAGE_OUT}/${page}.1.gz"
        COMMAND "${ZENTRIK_GZIP}" -9nf -k "${page}.1"
        DEPENDS "${ZENTRIK_PACKAGE_OUT}/${page}.1"
        WORKING_DIRECTORY "${ZENTRIK_PACKAGE_OUT}"
        VERBATIM)
    list(APPEND package_outputs "${ZENTRIK_PACKAGE_OUT}/${page}.1.gz")
    install(FILES "${ZENTRIK_PACKAGE_OUT}/${page}.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

configure_file("${ZENTRIK_LINUX_RES}/changelog.in" "${ZENTRIK_PACKAGE_OUT}/changelog" @ONLY)
add_custom_command(
    OUTPUT "${ZENTRIK_PACKAGE_OUT}/changelog.gz"
    COMMAND "${ZENTRIK_GZIP}" -9nf -k changelog
    DEPENDS "${ZENTRIK_PACKAGE_OUT}/changelog"
    WORKING_DIRECTORY "${ZENTRIK_PACKAGE_OUT}"
    VERBATIM)
list(APPEND package_outputs "${ZENTRIK_PACKAGE_OUT}/changelog.gz")

foreach(size IN LISTS ZENTRIK_ICON_SIZES)
    set(png "${ZENTRIK_PACKAGE_OUT}/icons/${size}x${size}/zentrik.png")
    add_custom_command(
        OUTPUT "${png}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${ZENTRIK_PACKAGE_OUT}/icons/${size}x${size}"
        COMMAND "${ZENTRIK_RSVG_CONVERT}" --width ${size} --height ${size} --keep-aspect-ratio
                --output "${png}" "${ZENTRIK_ICON_SVG}"
        DEPENDS "${ZENTRIK_ICON_SVG}"
        VERBATIM)
    list(APPEND package_outputs "${png}")
    install(FILES "${png}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(zentrik_package_files ALL DEPENDS ${package_outputs})

# ---- desktop integration -------------------------------------------------------------------
install(FILES "${ZENTRIK_ICON_SVG}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME zentrik.svg)
# Made in every build, so that scripts/package_check.sh validates it with or without the window.
configure_file("${ZENTRIK_LINUX_RES}/zentrik.metainfo.xml"
               "${ZENTRIK_PACKAGE_OUT}/${ZENTRIK_APP_ID}.metainfo.xml" @ONLY)
if(TARGET zentrik)
    install(FILES "${ZENTRIK_LINUX_RES}/zentrik.desktop"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME "${ZENTRIK_APP_ID}.desktop")
    install(FILES "${ZENTRIK_PACKAGE_OUT}/${ZENTRIK_APP_ID}.metainfo.xml"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # The configuration files' type, which the desktop entry opens.
    install(FILES "${ZENTRIK_LINUX_RES}/zentrik.mime.xml"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zentrik.xml)
endif()
install(FILES "${ZENTRIK_LINUX_RES}/60-zentrik.rules" DESTINATION ${ZENTRIK_UDEV_RULES_DIR})
install(FILES "${ZENTRIK_LINUX_RES}/copyright" "${ZENTRIK_PACKAGE_OUT}/changelog.gz"
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- the Debian package --------------------------------------------------------------------
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zentrik")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${ZENTRIK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the Zentrik nitrous controller")
set(CPACK_PACKAGE_DESCRIPTION
    "Zentrik edits the configuration of the Zentrik two-stage progressive nitrous\n"
    "controller, one stage at a time, with a percent curve that can be dragged into\n"
    "shape. It finds the controller on its CP210x USB-to-serial bridge by itself,\n"
    "uploads and downloads the configuration, shows the controller's serial number\n"
    "and firmware version, and upgrades its firmware.\n"
    "\n"
    "The package holds the window (zentrik), the command-line tool (zentrikctl), a\n"
    "controller simulator (zentrik-sim) and a udev rule that lets the user at the\n"
    "computer open the controller's serial port and keeps ModemManager away from it.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZENTRIK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")  # zentrik_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/deb")
include(CPack)
