# The Debian package as an administrator gets it: cpack -G DEB in the build
# folder, then what dpkg-deb says about the package, the programs run from the
# unpacked package (every picture format among them), and, where lintian is
# installed, lintian's verdict: no error and no warning. Installing it
# system-wide is left to people.
#
#   cmake -DCPACK=<cpack> -DBUILD=<build dir> -DEXAMPLES=<examples dir> -DWORK=<scratch dir>
#         -DVERSION=<x.y.z> -DGUI=<ON|OFF> -DCLASSIC=<ON|OFF> -P PackageTest.cmake
#   ... -DNO_SHLIBDEPS=ON: cpack with dpkg-shlibdeps out of reach must fail and write nothing.
#
# A check that does not hold stops the script with FATAL_ERROR; a missing tool
# prints "SKIPPED: <why>", which the test's SKIP_REGULAR_EXPRESSION reports as
# skipped.

cmake_minimum_required(VERSION 3.25)

foreach(var CPACK BUILD EXAMPLES WORK VERSION GUI CLASSIC)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "PackageTest.cmake needs -D${var}=...")
    endif()
endforeach()

function(fail what)
    message(FATAL_ERROR "package: ${what}")
endfunction()

foreach(tool dpkg dpkg-deb dpkg-shlibdeps)
    string(MAKE_C_IDENTIFIER "${tool}" var)
    find_program(${var} ${tool})
    if(NOT ${var})
        message("SKIPPED: ${tool} is not installed (apt-get install dpkg-dev)")
        return()
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/empty-path")

# cpack_deb(<name> [cpack options]): runs cpack -G DEB into WORK, in the environment
# ENV; sets <name>_rc and <name>_log.
function(cpack_deb name)
    execute_process(
        COMMAND "${CMAKE_COMMAND}" -E env ${ENV} "${CPACK}" -G DEB -B "${WORK}" --config "${BUILD}/CPackConfig.cmake"
                ${ARGN}
        WORKING_DIRECTORY "${BUILD}"
        RESULT_VARIABLE rc
        OUTPUT_VARIABLE out
        ERROR_VARIABLE err)
    set(${name}_rc "${rc}" PARENT_SCOPE)
    set(${name}_log "${out}${err}" PARENT_SCOPE)
endfunction()

if(NO_SHLIBDEPS)
    # A machine without dpkg-shlibdeps: an empty PATH, and no search of the
    # system's own folders.
    set(ENV "PATH=${WORK}/empty-path")
    cpack_deb(blind -D CMAKE_FIND_USE_CMAKE_SYSTEM_PATH=FALSE)
    file(GLOB written "${WORK}/*.deb")
    if(blind_rc EQUAL 0 OR written)
        fail("without dpkg-shlibdeps cpack succeeded (${blind_rc}) or wrote ${written}:\n${blind_log}")
    endif()
    string(FIND "${blind_log}" "dpkg-shlibdeps was not found" at)
    if(at EQUAL -1)
        fail("without dpkg-shlibdeps cpack failed without saying why:\n${blind_log}")
    endif()
    message(STATUS "package: refused without dpkg-shlibdeps")
    return()
endif()

cpack_deb(build)
if(NOT build_rc EQUAL 0)
    fail("cpack -G DEB failed (${build_rc}):\n${build_log}")
endif()
execute_process(COMMAND "${dpkg}" --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(deb "${WORK}/kavra_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
    file(GLOB written "${WORK}/*.deb")
    fail("no ${deb}; cpack wrote: ${written}\n${build_log}")
endif()

execute_process(COMMAND "${dpkg_deb}" --field "${deb}" Package Version Architecture Maintainer Depends
    RESULT_VARIABLE rc OUTPUT_VARIABLE fields ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    fail("dpkg-deb --field refused the package: ${err}")
endif()
foreach(expected "Package: kavra\n" "Version: ${VERSION}\n" "Architecture: ${arch}\n"
                 "Maintainer: Kavra maintainers <maintainers@users.noreply.c-seed-ba5d87d1.example>\n")
    string(FIND "${fields}" "${expected}" at)
    if(at EQUAL -1)
        fail("the control fields lack \"${expected}\":\n${fields}")
    endif()
endforeach()
# The dependencies are the packages of the shared libraries the programs link.
set(libraries "libc6 " "libstdc\\+\\+6 ")
if(GUI)
    list(APPEND libraries "libqt6core6" "libqt6widgets6" "libqt6printsupport6" "libqt6svg6" "libqcustomplot")
endif()
foreach(library IN LISTS libraries)
    if(NOT fields MATCHES "\nDepends: [^\n]*${library}")
        fail("Depends names no ${library}:\n${fields}")
    endif()
endforeach()

execute_process(COMMAND "${dpkg_deb}" --contents "${deb}" OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
set(files usr/bin/kavra-batch usr/share/man/man1/kavra-batch.1.gz usr/share/doc/kavra/copyright
    usr/share/doc/kavra/changelog.gz)
if(GUI)
    list(APPEND files usr/bin/kavra usr/share/kavra/Kavra_Release_Notes.Txt
        usr/share/applications/kavra.desktop usr/share/icons/hicolor/scalable/apps/kavra.svg
        usr/share/mime/packages/kavra-data.xml usr/share/metainfo/org.kavra.kavra.metainfo.xml
        usr/share/man/man1/kavra.1.gz)
endif()
if(GUI AND CLASSIC)
    list(APPEND files usr/bin/kavra-classic usr/share/man/man1/kavra-classic.1.gz)
endif()
foreach(file IN LISTS files)
    string(FIND "${contents}" " ./${file}\n" at)
    if(at EQUAL -1)
        fail("the package holds no /${file}:\n${contents}")
    endif()
endforeach()
if(GUI AND NOT contents MATCHES " \\./usr/lib/[a-z0-9_-]+/kavra/kavra-picture-writers\\.so\n")
    fail("the package holds no picture writers module in /usr/lib/<triplet>/kavra/:\n${contents}")
endif()
if(contents MATCHES " \\./usr/local/" OR contents MATCHES " \\./usr/bin/Kavra_Release_Notes")
    fail("the package puts files where Debian keeps none:\n${contents}")
endif()

# The programs run from the unpacked package.
execute_process(COMMAND "${dpkg_deb}" -x "${deb}" "${WORK}/root" RESULT_VARIABLE rc)
set(batch "${WORK}/root/usr/bin/kavra-batch")
execute_process(COMMAND "${batch}" info "${EXAMPLES}/node1_day.csv"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "rows:    1440\n")
    fail("the packaged kavra-batch info gave ${rc}:\n${out}\n${err}")
endif()
execute_process(COMMAND "${batch}" --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "kavra-batch ${VERSION}\n")
    fail("the packaged kavra-batch --version gave ${rc}: ${out}")
endif()

# Every picture format, from the packaged program and its packaged module.
if(GUI)
    foreach(entry "png|89504E47" "bmp|424D" "jpg|FFD8FF" "gif|47494638" "pcx|0A" "eps|252150532D41646F6265" "pdf|25504446"
                  "svg|3C3F786D6C" "wmf|D7CDC69A" "emf|01000000")
        string(REPLACE "|" ";" entry "${entry}")
        list(GET entry 0 extension)
        list(GET entry 1 magic)
        set(picture "${WORK}/chart.${extension}")
        execute_process(COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen
                                "${batch}" render "${EXAMPLES}/node1_day.csv" -o "${picture}"
            RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT rc EQUAL 0 OR NOT EXISTS "${picture}")
            fail("the packaged kavra-batch render -o chart.${extension} gave ${rc}:\n${out}${err}")
        endif()
        string(LENGTH "${magic}" length)
        math(EXPR length "${length} / 2")
        file(READ "${picture}" start LIMIT ${length} HEX)
        string(TOUPPER "${start}" start)
        if(NOT start STREQUAL magic)
            fail("the packaged kavra-batch wrote a chart.${extension} that starts with ${start}, not ${magic}")
        endif()
    endforeach()
endif()

# lintian, where it is installed: nothing it counts as an error or a warning.
find_program(LINTIAN lintian)
if(LINTIAN)
    execute_process(COMMAND "${LINTIAN}" --fail-on error,warning "${deb}"
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("lintian found errors or warnings (${rc}):\n${out}${err}")
    endif()
    message(STATUS "package: lintian reports no error and no warning\n${out}")
else()
    message(STATUS "package: lintian is not installed, so its verdict was not checked")
endif()

message(STATUS "package: ${deb} checked")
