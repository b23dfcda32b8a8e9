# The installed layout: a private program directory (lib/norvane) that holds the programs and
# everything they find beside themselves, links to the commands on the PATH, a desktop entry
# that offers the program for PDF files, the program icon and a manual page per command.
# CPack builds a Debian package of it.
include(GNUInstallDirs)
set(NV_INSTALL_PROGRAM_DIR lib/norvane)

set(nv_commands)
foreach(program norvane norvane-print norvane-inspect)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${NV_INSTALL_PROGRAM_DIR})
        list(APPEND nv_commands ${program})
    endif()
endforeach()

# The libraries and the help topics, as the build places them in its program directory.
install(FILES ${NV_PROGRAM_DIR}/Norvres.dll ${NV_PROGRAM_DIR}/Norvane.dll
              ${NV_PROGRAM_DIR}/nvaComDLL.dll ${NV_PROGRAM_DIR}/nvbComDLL.dll
              ${NV_PROGRAM_DIR}/nvcComDLL.dll
        DESTINATION ${NV_INSTALL_PROGRAM_DIR})
install(FILES ${NV_PROGRAM_DIR}/lang/en/Norvres.dll DESTINATION ${NV_INSTALL_PROGRAM_DIR}/lang/en)
install(DIRECTORY ${NV_PROGRAM_DIR}/help DESTINATION ${NV_INSTALL_PROGRAM_DIR})

# Relative links, so the tree works wherever it is unpacked; the programs resolve them to find
# their directory.
set(nv_links ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${nv_links})
foreach(program IN LISTS nv_commands)
    file(CREATE_LINK ../${NV_INSTALL_PROGRAM_DIR}/${program} ${nv_links}/${program} SYMBOLIC)
    install(FILES ${nv_links}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/share/norvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
find_program(NV_ICOTOOL icotool)
if(NV_ICOTOOL)
    set(nv_icons)
    foreach(size 16 24 32 48)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}/norvane.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
            COMMAND ${NV_ICOTOOL} -x -w ${size} -o ${png} ${PROJECT_SOURCE_DIR}/rc/icons/norvane.ico
            DEPENDS ${PROJECT_SOURCE_DIR}/rc/icons/norvane.ico VERBATIM)
        list(APPEND nv_icons ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(nv_desktop_icons ALL DEPENDS ${nv_icons})
endif()
foreach(page norvane norvane-print norvane-inspect)
    install(FILES ${PROJECT_SOURCE_DIR}/doc/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(CPACK_PACKAGE_NAME norvane)
set(CPACK_PACKAGE_VENDOR "VELMORA")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Direct PDF printing on Velmora printers")
set(CPACK_PACKAGE_CONTACT "Velmora Quillet maintainers <quillet@velmora.invalid>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps declares the libraries the programs link; scripts/check-package checks them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-ipafont-gothic | fonts-noto-cjk")
include(CPack)
