# Installing Tavlix as a desktop program: the two executables side by side in lib/tavlix/ (the
# updater is looked for beside the program), bin/tavlix linking there, the desktop entry, icons,
# AppStream metainfo, man page and the Debian documentation; and the .deb CPack makes of it.
# Nothing of the user's is installed: an installed Tavlix keeps its data in the documents folder.
include(GNUInstallDirs)

set(TAVLIX_APP_ID org.tavlix.Tavlix)
# Not CMAKE_INSTALL_LIBDIR: Debian keeps a package's private programs in lib/<package>, never in
# the multiarch library folder.
set(TAVLIX_INSTALL_PROGRAMDIR lib/tavlix)
set(TAVLIX_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tavlix)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(staged ${CMAKE_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The Debian changelog names the version being packaged, or the package would lie about itself.
file(STRINGS ${packaging}/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^tavlix \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog must begin with the entry of ${PROJECT_VERSION}")
endif()
file(STRINGS ${packaging}/changelog changelog_signoff REGEX "^ -- " ENCODING UTF-8)
string(REGEX MATCH "([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9])" _ "${changelog_signoff}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
math(EXPR month "${month} + 1")
if(month LESS 10)
    set(month 0${month})
endif()
set(TAVLIX_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})

file(MAKE_DIRECTORY ${staged})
configure_file(${packaging}/${TAVLIX_APP_ID}.metainfo.xml.in
               ${staged}/${TAVLIX_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging}/tavlix.1 ${staged}/tavlix.1 @ONLY)
# Debian wants these compressed to the maximum and without a time stamp (-n).
foreach(file tavlix.1 changelog)
    if(file STREQUAL changelog)
        set(from ${packaging}/changelog)
    else()
        set(from ${staged}/${file})
    endif()
    execute_process(COMMAND gzip -9nc ${from} OUTPUT_FILE ${staged}/${file}.gz
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(CREATE_LINK ../${TAVLIX_INSTALL_PROGRAMDIR}/Tavlix ${staged}/tavlix SYMBOLIC)

install(TARGETS Tavlix TavlixUpdate RUNTIME DESTINATION ${TAVLIX_INSTALL_PROGRAMDIR})
install(FILES ${staged}/tavlix DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging}/${TAVLIX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${staged}/${TAVLIX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${packaging}/icons/${TAVLIX_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
    install(FILES ${packaging}/icons/${TAVLIX_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TAVLIX_APP_ID}.png)
endforeach()
install(FILES ${staged}/tavlix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/copyright ${staged}/changelog.gz DESTINATION ${TAVLIX_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tavlix geliştiricileri <maintainers@tavlix.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assistant for issuing Turkish e-Archive invoices")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tavlix.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The portal is driven through Chromium and its driver; the shared libraries come from shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "chromium, chromium-driver")
# Qt's own Turkish texts (file dialogs, standard buttons) come from the translations package.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
# CPack puts the summary first and indents every line; an empty line parts the paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tavlix is a desktop assistant for Turkish taxpayers who issue e-Archive
(e-Arşiv) invoices. Companies, customer cards and stock cards are kept in one
DATA.xlsx workbook; an invoice is composed with its totals and the amount in
Turkish words, uploaded to the e-Archive portal through Chromium and filed in
the company's folder.

The user's data lives in the documents folder (for example ~/Belgeler/Tavlix)
and is left in place when the package is removed.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
