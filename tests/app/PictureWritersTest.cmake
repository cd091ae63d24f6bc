# The picture libraries are loaded only when an export needs them: the programs
# do not link GraphicsMagick, librsvg, cairo or libEMF (the picture writers
# module does), and a kavra-batch without its module still reads files and
# writes the pictures Qt makes, and refuses the others with a message.
#
#   cmake -DBIN=<build bin dir> -DEXAMPLES=<examples dir> -DWORK=<scratch dir> -P PictureWritersTest.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var BIN EXAMPLES WORK)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "PictureWritersTest.cmake needs -D${var}=...")
    endif()
endforeach()

function(fail what)
    message(FATAL_ERROR "picture writers: ${what}")
endfunction()

set(picture_libraries "libGraphicsMagick" "librsvg" "libcairo" "libEMF")
set(module "${BIN}/kavra-picture-writers.so")

# The shared libraries a file needs, all the way down, as file names.
function(needed file out)
    file(GET_RUNTIME_DEPENDENCIES LIBRARIES "${file}" RESOLVED_DEPENDENCIES_VAR found
         UNRESOLVED_DEPENDENCIES_VAR missing)
    if(missing)
        fail("${file} needs libraries that are not found: ${missing}")
    endif()
    set(names "")
    foreach(path IN LISTS found)
        get_filename_component(name "${path}" NAME)
        list(APPEND names "${name}")
    endforeach()
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

needed("${module}" module_needs)
foreach(library IN LISTS picture_libraries)
    if(NOT module_needs MATCHES "(^|;)${library}")
        fail("the module does not link ${library}: ${module_needs}")
    endif()
endforeach()
foreach(program kavra kavra-classic kavra-batch)
    if(NOT EXISTS "${BIN}/${program}")
        continue()
    endif()
    needed("${BIN}/${program}" program_needs)
    foreach(library IN LISTS picture_libraries)
        if(program_needs MATCHES "(^|;)${library}")
            fail("${program} links ${library}, which only the picture writers module needs")
        endif()
    endforeach()
    list(LENGTH program_needs count)
    message(STATUS "picture writers: ${program} needs ${count} shared libraries")
endforeach()

# kavra-batch alone in a folder, without the module beside it or in ../lib.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/bin")
file(COPY "${BIN}/kavra-batch" DESTINATION "${WORK}/bin")
set(batch "${WORK}/bin/kavra-batch")
set(data "${EXAMPLES}/node1_day.csv")

execute_process(COMMAND "${batch}" info "${data}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "rows:    1440\n")
    fail("kavra-batch info without the module gave ${rc}:\n${out}${err}")
endif()
foreach(picture chart.png chart.svg chart.pdf chart.wmf chart.bmp chart.jpg)
    execute_process(COMMAND "${batch}" render "${data}" -o "${WORK}/${picture}" RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT EXISTS "${WORK}/${picture}")
        fail("without the module, ${picture} was not written (${rc}): ${err}")
    endif()
endforeach()
foreach(entry "chart.gif|GIF and PCX" "chart.pcx|GIF and PCX" "chart.eps|EPS" "chart.emf|EMF")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 picture)
    list(GET entry 1 formats)
    execute_process(COMMAND "${batch}" render "${data}" -o "${WORK}/${picture}" RESULT_VARIABLE rc ERROR_VARIABLE err)
    set(expected "${formats} pictures cannot be made: Kavra's picture writers (kavra-picture-writers.so) "
                 "were not found in ${WORK}/bin or ${WORK}/")
    string(JOIN "" expected ${expected})
    string(FIND "${err}" "${expected}" at)
    if(NOT rc EQUAL 1 OR at EQUAL -1)
        fail("without the module, ${picture} gave ${rc} and not \"${expected}\":\n${err}")
    endif()
    file(GLOB left "${WORK}/${picture}*")
    if(EXISTS "${WORK}/${picture}" OR left)
        fail("without the module, ${picture} left files behind: ${left}")
    endif()
endforeach()

message(STATUS "picture writers: all checks passed")
