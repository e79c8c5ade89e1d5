# Run by CPack on the staged tree of the Debian package, just before packing it:
# Debian keeps games in /usr/games, compresses manual pages and the changelog, and wants
# a copyright file beside the documentation.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT EXISTS "${root}/bin/tallreed")
    message(FATAL_ERROR "deb_layout: no staged game at ${root}/bin/tallreed")
endif()

file(MAKE_DIRECTORY "${root}/games")
file(RENAME "${root}/bin/tallreed" "${root}/games/tallreed")
file(GLOB left "${root}/bin/*")
if(NOT left)
    file(REMOVE_RECURSE "${root}/bin")
endif()

set(doc "${root}/share/doc/tallreed")
file(COPY_FILE "${CPACK_TALLREED_COPYRIGHT}" "${doc}/copyright")
file(COPY_FILE "${CPACK_TALLREED_CHANGELOG}" "${doc}/changelog")
foreach(file "${root}/share/man/man6/tallreed.6" "${doc}/changelog")
    # -n: no name or time stamp in the archive, so the package is the same on every build
    execute_process(COMMAND gzip -9 -n -f "${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
