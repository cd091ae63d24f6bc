# The desktop entry, the AppStream metainfo, the data-file type and the manual
# pages as `cmake --install` puts them, checked by the desktop's own tools.
#
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch prefix> -DVERSION=<x.y.z> -DGUI=<ON|OFF>
#         -DCLASSIC=<ON|OFF> -P DesktopFilesTest.cmake
#
# A check that does not hold stops the script with FATAL_ERROR. The checks whose
# tool is not installed are left out; the script then ends with
# "SKIPPED: <tools> not installed", which the test reports as skipped.

cmake_minimum_required(VERSION 3.25)

foreach(var BUILD PREFIX VERSION GUI CLASSIC)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "DesktopFilesTest.cmake needs -D${var}=...")
    endif()
endforeach()

function(fail what)
    message(FATAL_ERROR "desktop files: ${what}")
endfunction()

set(missing "")
# tool(<var> <program> <package>): finds program into var, or notes it missing.
macro(tool var program package)
    find_program(${var} ${program})
    if(NOT ${var})
        list(APPEND missing "${program} (${package})")
    endif()
endmacro()

# run(<name> COMMAND...): sets <name>_rc and <name>_out (standard output and error).
function(run name)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${name}_rc "${rc}" PARENT_SCOPE)
    set(${name}_out "${out}${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
run(install "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}")
if(NOT install_rc EQUAL 0)
    fail("cmake --install failed (${install_rc}):\n${install_out}")
endif()
set(share "${PREFIX}/share")

if(GUI)
    # desktop-file-validate prints nothing at all for an entry without fault.
    tool(VALIDATE_DESKTOP desktop-file-validate desktop-file-utils)
    if(VALIDATE_DESKTOP)
        run(desktop "${VALIDATE_DESKTOP}" "${share}/applications/kavra.desktop")
        if(NOT desktop_rc EQUAL 0 OR NOT desktop_out STREQUAL "")
            fail("desktop-file-validate (${desktop_rc}):\n${desktop_out}")
        endif()
    endif()

    set(metainfo "${share}/metainfo/org.kavra.kavra.metainfo.xml")
    file(READ "${metainfo}" text)
    foreach(needle "<description>" "<screenshot type=\"default\">" "<release version=\"${VERSION}\" date=\""
                   "<launchable type=\"desktop-id\">kavra.desktop</launchable>"
                   "<li>Candle chart of a single item.</li>")
        string(FIND "${text}" "${needle}" at)
        if(at EQUAL -1)
            fail("the metainfo holds no ${needle}:\n${text}")
        endif()
    endforeach()
    tool(APPSTREAMCLI appstreamcli appstream)
    if(APPSTREAMCLI)
        run(appstream "${APPSTREAMCLI}" validate --no-net --no-color "${metainfo}")
        if(NOT appstream_rc EQUAL 0)
            fail("appstreamcli validate --no-net (${appstream_rc}):\n${appstream_out}")
        endif()
    endif()

    tool(UPDATE_MIME update-mime-database shared-mime-info)
    if(UPDATE_MIME)
        run(mime "${UPDATE_MIME}" "${share}/mime")
        if(NOT mime_rc EQUAL 0 OR NOT EXISTS "${share}/mime/text/x-kavra-data.xml")
            fail("update-mime-database did not register text/x-kavra-data (${mime_rc}):\n${mime_out}")
        endif()
        file(READ "${share}/mime/text/x-kavra-data.xml" type)
        string(FIND "${type}" "Kavra performance data" at)
        if(at EQUAL -1)
            fail("the registered type lost its comment:\n${type}")
        endif()
    endif()
endif()

# The manual pages, formatted as man shows them, as plain text.
tool(MAN man man-db)
tool(COL col bsdextrautils)
if(MAN AND COL)
    set(pages "kavra-batch|NAME,SYNOPSIS,DESCRIPTION,COMMANDS,OPTIONS,EXIT STATUS,EXAMPLES,SEE ALSO")
    if(GUI)
        list(APPEND pages "kavra|NAME,SYNOPSIS,DESCRIPTION,OPTIONS,Keyboard shortcuts,EXIT STATUS,FILES,EXAMPLES")
    endif()
    if(GUI AND CLASSIC)
        list(APPEND pages "kavra-classic|NAME,SYNOPSIS,DESCRIPTION,Keyboard shortcuts")
    endif()
    foreach(entry IN LISTS pages)
        string(REPLACE "|" ";" entry "${entry}")
        string(REPLACE "," ";" entry "${entry}")
        list(POP_FRONT entry page)
        set(file "${share}/man/man1/${page}.1.gz")
        execute_process(
            COMMAND "${CMAKE_COMMAND}" -E env MANWIDTH=80 MANROFFSEQ= "MANOPT=" LC_ALL=C.UTF-8 "${MAN}" -l "${file}"
            COMMAND "${COL}" -b
            WORKING_DIRECTORY "${share}/man"
            RESULTS_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE err)
        if(NOT rc STREQUAL "0;0" OR NOT err STREQUAL "")
            fail("man -l ${file} (${rc}):\n${err}")
        endif()
        foreach(section IN LISTS entry)
            if(NOT text MATCHES "\n *${section}\n")
                fail("${page}(1) has no section ${section}:\n${text}")
            endif()
        endforeach()
        string(FIND "${text}" "Kavra ${VERSION}" at)
        if(at EQUAL -1)
            fail("${page}(1) does not name version ${VERSION}:\n${text}")
        endif()
    endforeach()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env MANWIDTH=80 LC_ALL=C.UTF-8 "${MAN}" -l
                            "${share}/man/man1/kavra-batch.1.gz"
                    COMMAND "${COL}" -b OUTPUT_VARIABLE batch)
    foreach(option info dump render correlate --file -o --items --size --zoom --movavg --smooth --candle --stack
                   --dual-y --dual-charts --ratio --title --subtitle --footer --width --width2 --item --from --to
                   --scatter --help --version)
        if(NOT batch MATCHES "\n       ${option}[ ,\n]")
            fail("kavra-batch(1) describes no ${option}")
        endif()
    endforeach()
endif()

if(missing)
    list(JOIN missing ", " missing)
    message("SKIPPED: not installed, so not checked: ${missing}")
else()
    message(STATUS "desktop files: all checks passed")
endif()
