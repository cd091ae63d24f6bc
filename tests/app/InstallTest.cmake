# cmake --install into a scratch prefix, as a packager would run it; needs no root.
#
#   cmake -DBUILD=<build dir> -DSOURCE=<source dir> -DPREFIX=<scratch prefix> -DGUI=<ON|OFF>
#         -DBINDIR=<bin> -DDATADIR=<share> -P InstallTest.cmake
#
# Every check that does not hold stops the script with FATAL_ERROR, which fails
# the test.

cmake_minimum_required(VERSION 3.25)

foreach(var BUILD SOURCE PREFIX GUI BINDIR DATADIR)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "InstallTest.cmake needs -D${var}=...")
    endif()
endforeach()

function(fail what)
    message(FATAL_ERROR "install: ${what}")
endfunction()

function(expect_file file)
    if(NOT EXISTS "${PREFIX}/${file}" OR IS_DIRECTORY "${PREFIX}/${file}")
        fail("${file} not installed under ${PREFIX}")
    endif()
endfunction()

function(expect_contains file needle)
    file(READ "${PREFIX}/${file}" text)
    string(FIND "${text}" "${needle}" at)
    if(at EQUAL -1)
        fail("${file}: \"${needle}\" not found in:\n${text}")
    endif()
endfunction()

function(expect_same_bytes installed source)
    file(SHA256 "${PREFIX}/${installed}" sum1)
    file(SHA256 "${SOURCE}/${source}" sum2)
    if(NOT sum1 STREQUAL sum2)
        fail("${installed} differs from ${source}")
    endif()
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    fail("cmake --install failed with ${rc}:\n${out}\n${err}")
endif()

# kavra-batch runs from where it was installed.
expect_file("${BINDIR}/kavra-batch")
expect_file("${DATADIR}/man/man1/kavra-batch.1.gz")
if(EXISTS "${BUILD}/bin/kavra-classic")
  expect_file("${BINDIR}/kavra-classic")
endif()
execute_process(
    COMMAND "${PREFIX}/${BINDIR}/kavra-batch" --help
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    fail("installed kavra-batch --help: exit status ${rc}\n${err}")
endif()
string(FIND "${out}" "Usage" at)
if(at EQUAL -1)
    fail("installed kavra-batch --help printed no usage:\n${out}")
endif()

if(GUI)
    expect_file("${BINDIR}/kavra")
    # The installed kavra-batch finds the installed picture writers module.
    foreach(picture chart.gif chart.pcx chart.eps chart.emf)
        execute_process(
            COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "${PREFIX}/${BINDIR}/kavra-batch" render
                    "${SOURCE}/examples/node1_day.csv" --size 320x200 -o "${PREFIX}/${picture}"
            RESULT_VARIABLE rc
            ERROR_VARIABLE err)
        if(NOT rc EQUAL 0 OR NOT EXISTS "${PREFIX}/${picture}")
            fail("installed kavra-batch render -o ${picture}: exit status ${rc}\n${err}")
        endif()
    endforeach()
    # The release notes in the data folder, where the viewer looks from its
    # own folder, byte for byte (CR LF line ends).
    expect_file("${DATADIR}/kavra/Kavra_Release_Notes.Txt")
    expect_same_bytes("${DATADIR}/kavra/Kavra_Release_Notes.Txt" "Kavra_Release_Notes.Txt")
    if(EXISTS "${PREFIX}/${BINDIR}/Kavra_Release_Notes.Txt")
        fail("the release notes were installed among the programs")
    endif()
    expect_file("${DATADIR}/metainfo/org.kavra.kavra.metainfo.xml")
    expect_file("${DATADIR}/man/man1/kavra.1.gz")

    set(desktop "${DATADIR}/applications/kavra.desktop")
    expect_file("${desktop}")
    expect_contains("${desktop}" "[Desktop Entry]\n")
    expect_contains("${desktop}" "\nExec=kavra %f\n")
    expect_contains("${desktop}" "\nIcon=kavra\n")
    expect_contains("${desktop}" "\nMimeType=text/x-kavra-data;\n")

    set(icon "${DATADIR}/icons/hicolor/scalable/apps/kavra.svg")
    expect_file("${icon}")
    expect_contains("${icon}" "<svg")
    expect_same_bytes("${icon}" "packaging/kavra.svg")

    set(mime "${DATADIR}/mime/packages/kavra-data.xml")
    expect_file("${mime}")
    expect_contains("${mime}" "<mime-type type=\"text/x-kavra-data\">")
    expect_contains("${mime}" "<sub-class-of type=\"text/csv\"/>")
    expect_contains("${mime}" "<glob pattern=\"*.csv\"/>")
    expect_contains("${mime}" "<comment>Kavra performance data</comment>")

    # Where the tool is at hand, the mime database accepts the package.
    find_program(UPDATE_MIME update-mime-database)
    if(UPDATE_MIME)
        execute_process(
            COMMAND "${UPDATE_MIME}" "${PREFIX}/${DATADIR}/mime"
            RESULT_VARIABLE rc
            OUTPUT_VARIABLE out
            ERROR_VARIABLE err)
        if(NOT rc EQUAL 0)
            fail("update-mime-database refused kavra-data.xml (${rc}):\n${err}")
        endif()
        file(READ "${PREFIX}/${DATADIR}/mime/globs2" globs)
        string(FIND "${globs}" ":text/x-kavra-data:*.csv" at)
        if(at EQUAL -1)
            fail("the mime database holds no *.csv glob for text/x-kavra-data:\n${globs}")
        endif()
    endif()
else()
    if(EXISTS "${PREFIX}/${BINDIR}/kavra")
        fail("the viewer was installed although it is not built")
    endif()
endif()

message(STATUS "install: all checks passed")
