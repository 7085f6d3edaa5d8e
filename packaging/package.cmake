# Installing, and the Debian package made from the install (cpack -G DEB in the build folder).
include(GNUInstallDirs)

set(TRACTWISE_HOMEPAGE "https://tractwise.example.org/")
set(TRACTWISE_MAINTAINER "QRV Tractwise developers <tractwise@example.org>")
set(TRACTWISE_APP_ID org.example.tractwise)
set(TRACTWISE_PACKAGING_DIR "${CMAKE_CURRENT_SOURCE_DIR}/packaging")

find_program(TRACTWISE_SCDOC scdoc REQUIRED)
find_program(TRACTWISE_RSVG_CONVERT rsvg-convert REQUIRED)

# The version is project()'s: the changelog's newest entry and the AppStream data's newest
# release must name it, so a new version without either stops here rather than in a package.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${TRACTWISE_PACKAGING_DIR}/changelog"
             "${TRACTWISE_PACKAGING_DIR}/${TRACTWISE_APP_ID}.metainfo.xml")
file(STRINGS "${TRACTWISE_PACKAGING_DIR}/changelog" TRACTWISE_CHANGELOG_TOP LIMIT_COUNT 1)
file(STRINGS "${TRACTWISE_PACKAGING_DIR}/${TRACTWISE_APP_ID}.metainfo.xml"
     TRACTWISE_RELEASE_TOP REGEX "<release " LIMIT_COUNT 1)
if(NOT TRACTWISE_CHANGELOG_TOP MATCHES "^tractwise \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}: "
                        "${TRACTWISE_CHANGELOG_TOP}")
endif()
if(NOT TRACTWISE_RELEASE_TOP MATCHES "version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "packaging/${TRACTWISE_APP_ID}.metainfo.xml: the newest release is not "
                        "${PROJECT_VERSION}: ${TRACTWISE_RELEASE_TOP}")
endif()

# Manual pages: scdoc sources, gzipped without a time stamp, dated by the newest changelog
# entry so the same sources give the same pages.
file(STRINGS "${TRACTWISE_PACKAGING_DIR}/changelog" TRACTWISE_RELEASE_LINE REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- .*>  " "" TRACTWISE_RELEASE_DATE "${TRACTWISE_RELEASE_LINE}")
execute_process(COMMAND date -d "${TRACTWISE_RELEASE_DATE}" +%s
                OUTPUT_VARIABLE TRACTWISE_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(TRACTWISE_MAN_PAGES)
foreach(page tractwise.1 tractwise-locate.1)
    set(source "${CMAKE_CURRENT_SOURCE_DIR}/docs/man/${page}.scd")
    set(output "${CMAKE_BINARY_DIR}/man/${page}.gz")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man"
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TRACTWISE_RELEASE_EPOCH}
                sh -c [["$0" < "$1" > "$2" && gzip -9 -n < "$2" > "$3"]] "${TRACTWISE_SCDOC}"
                "${source}" "${CMAKE_BINARY_DIR}/man/${page}" "${output}"
        DEPENDS "${source}" "${TRACTWISE_PACKAGING_DIR}/changelog"
        COMMENT "Making the manual page ${page}"
        VERBATIM)
    list(APPEND TRACTWISE_MAN_PAGES "${output}")
endforeach()
add_custom_target(tractwise_man ALL DEPENDS ${TRACTWISE_MAN_PAGES})

# The icon drawn at the sizes a desktop asks for.
set(TRACTWISE_ICONS)
foreach(size 48 128 256)
    set(output "${CMAKE_BINARY_DIR}/icons/${size}/tractwise.png")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/icons/${size}"
        COMMAND "${TRACTWISE_RSVG_CONVERT}" -w ${size} -h ${size}
                "${TRACTWISE_PACKAGING_DIR}/tractwise.svg" -o "${output}"
        DEPENDS "${TRACTWISE_PACKAGING_DIR}/tractwise.svg"
        COMMENT "Drawing the ${size} px icon")
    list(APPEND TRACTWISE_ICONS "${output}")
    install(FILES "${output}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
add_custom_target(tractwise_icons ALL DEPENDS ${TRACTWISE_ICONS})

# The sample projects beside the programs in the build folder, as they are installed.
file(GLOB TRACTWISE_SAMPLE_FILES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/sample/*")
add_custom_command(
    OUTPUT "${CMAKE_BINARY_DIR}/sample/sample.plss"
    COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_CURRENT_SOURCE_DIR}/sample"
            "${CMAKE_BINARY_DIR}/sample"
    DEPENDS ${TRACTWISE_SAMPLE_FILES}
    COMMENT "Copying the sample projects")
add_custom_target(tractwise_sample ALL DEPENDS "${CMAKE_BINARY_DIR}/sample/sample.plss")

# The data folder as the programs find it from their own folder.
file(RELATIVE_PATH TRACTWISE_DATA_FROM_BIN "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/tractwise")

install(TARGETS tractwise tractwise-locate RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
# As dh_strip does: the compiler's .comment and .note sections serve nobody in an installed
# program.
set(remove_sections [[
foreach(program tractwise tractwise-locate)
    execute_process(COMMAND "@OBJCOPY@" --remove-section=.comment --remove-section=.note
                            "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/@BINDIR@/${program}"
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
]])
string(REPLACE "@OBJCOPY@" "${CMAKE_OBJCOPY}" remove_sections "${remove_sections}")
string(REPLACE "@BINDIR@" "${CMAKE_INSTALL_BINDIR}" remove_sections "${remove_sections}")
install(CODE "${remove_sections}")
install(FILES "${TRACTWISE_HELP_COLLECTION}" "${CMAKE_BINARY_DIR}/help/tractwise.qch"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/tractwise/help")
install(FILES ${TRACTWISE_SAMPLE_FILES} DESTINATION "${CMAKE_INSTALL_DATADIR}/tractwise/sample")
install(FILES ${TRACTWISE_MAN_PAGES} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${TRACTWISE_PACKAGING_DIR}/${TRACTWISE_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${TRACTWISE_PACKAGING_DIR}/${TRACTWISE_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${TRACTWISE_PACKAGING_DIR}/tractwise-mime.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME tractwise.xml)
install(FILES "${TRACTWISE_PACKAGING_DIR}/tractwise.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
# A project file's own icon, by the name its type gives.
install(FILES "${TRACTWISE_PACKAGING_DIR}/tractwise.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes"
        RENAME application-x-tractwise-project.svg)
install(FILES "${TRACTWISE_PACKAGING_DIR}/copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tractwise")
set(TRACTWISE_CHANGELOG "${CMAKE_BINARY_DIR}/changelog.gz")
add_custom_command(
    OUTPUT "${TRACTWISE_CHANGELOG}"
    COMMAND sh -c [[gzip -9 -n < "$0" > "$1"]] "${TRACTWISE_PACKAGING_DIR}/changelog"
            "${TRACTWISE_CHANGELOG}"
    DEPENDS "${TRACTWISE_PACKAGING_DIR}/changelog"
    VERBATIM)
add_custom_target(tractwise_changelog ALL DEPENDS "${TRACTWISE_CHANGELOG}")
install(FILES "${TRACTWISE_CHANGELOG}" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tractwise")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tractwise)
set(CPACK_PACKAGE_VENDOR "QRV Tractwise")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "locate water wells by the Public Land Survey System")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tractwise places a water well the way permits describe it: principal
meridian, township and range, section, and quarter calls, footage calls,
lots, halves or ties from a corner, or the whole legal description. It
finds the section in a PLSS section theme (the BLM's national data or any
source GDAL reads), gives the UTM easting and northing (NAD 83) with how
sure the answer is, and marks the well on the map; it also works back from
a UTM point to section, township, range, quarters and footages.
.
Around the calculators stands a map viewer with themes, identify, queries,
printing and project files, and a Wells panel that keeps a season's
permits in a GeoPackage or a shared PostGIS table. tractwise-locate does
the same work from the command line and in batches.
.
For well-permit clerks, hydrogeologists, drillers and landmen.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRACTWISE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TRACTWISE_HOMEPAGE}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads while running is
# named here: the help collection's SQLite driver and the web window's page process.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6webenginecore6-bin")
include(CPack)
