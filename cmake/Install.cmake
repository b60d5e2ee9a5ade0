# Installing like a desktop application (programs, menu entry, icons, metainfo, manual pages, shell
# completion) and the Debian package built from the same rules.
include(GNUInstallDirs)

set(ORVANE_APP_ID io.github.orvane.Orvane)
set(ORVANE_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(ORVANE_DATA_OUT ${CMAKE_CURRENT_BINARY_DIR}/data)

set(ORVANE_INSTALLED_PROGRAMS)
foreach(program orvane orvane-cli orvane-modsim)
  if(TARGET ${program})
    list(APPEND ORVANE_INSTALLED_PROGRAMS ${program})
  endif()
endforeach()
# They link no library of ours, so they need no run-time search path of their own.
set_target_properties(${ORVANE_INSTALLED_PROGRAMS} PROPERTIES INSTALL_RPATH "")
install(TARGETS ${ORVANE_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages carry the version and are installed compressed, as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(ORVANE_MAN_PAGES)
foreach(program IN LISTS ORVANE_INSTALLED_PROGRAMS)
  configure_file(${ORVANE_DATA}/man/${program}.1.in ${ORVANE_DATA_OUT}/${program}.1 @ONLY)
  add_custom_command(OUTPUT ${ORVANE_DATA_OUT}/${program}.1.gz
                     COMMAND ${GZIP_PROGRAM} -9nf -k ${ORVANE_DATA_OUT}/${program}.1
                     DEPENDS ${ORVANE_DATA_OUT}/${program}.1 VERBATIM)
  list(APPEND ORVANE_MAN_PAGES ${ORVANE_DATA_OUT}/${program}.1.gz)
endforeach()
configure_file(${ORVANE_DATA}/changelog.in ${ORVANE_DATA_OUT}/changelog @ONLY)
add_custom_command(OUTPUT ${ORVANE_DATA_OUT}/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9nf -k ${ORVANE_DATA_OUT}/changelog
                   DEPENDS ${ORVANE_DATA_OUT}/changelog VERBATIM)
add_custom_target(orvane_data ALL DEPENDS ${ORVANE_MAN_PAGES} ${ORVANE_DATA_OUT}/changelog.gz)
install(FILES ${ORVANE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Completion goes where bash-completion looks for it: its own pkg-config file names the directory,
# which is taken relative to our prefix so that PREFIX and DESTDIR hold.
set(ORVANE_COMPLETION_DIR ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --variable=completionsdir
                          --define-variable=prefix=@prefix@ --define-variable=datadir=@datadir@ bash-completion
                  OUTPUT_VARIABLE dir OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(NOT failed AND dir MATCHES "^@datadir@/(.+)$")
    set(ORVANE_COMPLETION_DIR ${CMAKE_INSTALL_DATADIR}/${CMAKE_MATCH_1})
  elseif(NOT failed AND dir MATCHES "^@prefix@/(.+)$")
    set(ORVANE_COMPLETION_DIR ${CMAKE_MATCH_1})
  endif()
endif()
foreach(program orvane-cli orvane-modsim)
  if(TARGET ${program})
    install(FILES ${ORVANE_DATA}/completion/${program} DESTINATION ${ORVANE_COMPLETION_DIR})
  endif()
endforeach()

if(TARGET orvane)
  install(FILES ${ORVANE_DATA}/${ORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${ORVANE_DATA}/${ORVANE_APP_ID}.metainfo.xml.in ${ORVANE_DATA_OUT}/${ORVANE_APP_ID}.metainfo.xml
                 @ONLY)
  install(FILES ${ORVANE_DATA_OUT}/${ORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # skinart draws one picture per size; they are committed with the other artwork.
  foreach(size 16 24 32 48 64 128 256)
    install(FILES resources/icon/hicolor/${size}x${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${ORVANE_APP_ID}.png)
  endforeach()
endif()

set(ORVANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvane)
install(FILES ${ORVANE_DATA}/copyright ${ORVANE_DATA_OUT}/changelog.gz README.md DESTINATION ${ORVANE_DOC_DIR})

# make package: a .deb whose dependencies dpkg-shlibdeps works out from the programs. cpack does not
# build every test and tool first: make install and make package build the installed targets.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "The Orvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read and write the settings of a serial 433/490 MHz radio module")
# Lines of the long description stay under 80 columns; CPack indents them for the control file.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Orvane reads and writes the settings of a 433 MHz or 490 MHz radio module\n"
       "attached to a serial port, for example through a USB-UART adapter: its radio\n"
       "channel, air data rate, serial baud rate and parity, factory ID and transmit\n"
       "power. A search finds a module whose serial settings are unknown.\n"
       "\n"
       "The package holds the desktop program, orvane-cli for scripts and headless\n"
       "machines, and orvane-modsim, which plays a module on a pseudo-terminal for\n"
       "trying Orvane without hardware.")
set(CPACK_PACKAGE_CONTACT "The Orvane developers <orvane@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/orvane/orvane)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
