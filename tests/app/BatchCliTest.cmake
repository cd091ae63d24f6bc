# kavra-batch run as a user's script would run it.
#
#   cmake -DBATCH=<kavra-batch> -DEXAMPLES=<examples dir> -DWORK=<scratch dir> -P BatchCliTest.cmake
#
# Every check that does not hold stops the script with FATAL_ERROR, which fails
# the test.
#
# CMake folds CR LF into LF both in execute_process's OUTPUT_VARIABLE and in
# file(READ), so each run's standard output and error go to files in WORK:
# text checks use file(READ), checks of exact bytes (line ends, the round
# trip) read the files as hex.

cmake_minimum_required(VERSION 3.25)

foreach(var BATCH EXAMPLES WORK)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "BatchCliTest.cmake needs -D${var}=...")
    endif()
endforeach()
if(NOT EXISTS "${BATCH}")
    message(FATAL_ERROR "kavra-batch not found at ${BATCH}")
endif()

set(NODE1 "${EXAMPLES}/node1_day.csv")
set(NODE2 "${EXAMPLES}/node2_day.csv")
foreach(sample "${NODE1}" "${NODE2}")
    if(NOT EXISTS "${sample}")
        message(FATAL_ERROR "sample file missing: ${sample}")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(fail what)
    message(FATAL_ERROR "batch_cli: ${what}")
endfunction()

# run_batch(<name> ARGS...): runs kavra-batch with ARGS in WORK. Sets in the
# caller's scope <name>_rc (exit status), <name>_out and <name>_err (text, CR LF
# read as LF) and <name>_outfile and <name>_errfile (the exact bytes).
function(run_batch name)
    set(outfile "${WORK}/${name}.stdout")
    set(errfile "${WORK}/${name}.stderr")
    execute_process(
        COMMAND "${BATCH}" ${ARGN}
        WORKING_DIRECTORY "${WORK}"
        TIMEOUT 300
        RESULT_VARIABLE rc
        OUTPUT_FILE "${outfile}"
        ERROR_FILE "${errfile}")
    file(READ "${outfile}" out)
    file(READ "${errfile}" err)
    set(${name}_rc "${rc}" PARENT_SCOPE)
    set(${name}_out "${out}" PARENT_SCOPE)
    set(${name}_err "${err}" PARENT_SCOPE)
    set(${name}_outfile "${outfile}" PARENT_SCOPE)
    set(${name}_errfile "${errfile}" PARENT_SCOPE)
endfunction()

function(expect_rc name expected what)
    if(NOT "${${name}_rc}" STREQUAL "${expected}")
        fail("${what}: exit status ${${name}_rc}, expected ${expected}\nstderr:\n${${name}_err}")
    endif()
endfunction()

# A refused command line: an ordinary non-zero exit status, not a crash.
function(expect_usage_error name what)
    if(NOT "${${name}_rc}" MATCHES "^[1-9][0-9]*$")
        fail("${what}: exit status ${${name}_rc}, expected a non-zero exit status\nstderr:\n${${name}_err}")
    endif()
endfunction()

function(expect_contains text needle what)
    string(FIND "${text}" "${needle}" at)
    if(at EQUAL -1)
        fail("${what}: \"${needle}\" not found in:\n${text}")
    endif()
endfunction()

function(expect_starts_with text prefix what)
    string(LENGTH "${prefix}" n)
    string(SUBSTRING "${text}" 0 ${n} head)
    if(NOT head STREQUAL prefix)
        fail("${what}: expected to start with \"${prefix}\", got:\n${text}")
    endif()
endfunction()

function(expect_empty_file file what)
    file(SIZE "${file}" size)
    if(NOT size EQUAL 0)
        file(READ "${file}" text)
        fail("${what}: expected nothing, got ${size} bytes:\n${text}")
    endif()
endfunction()

# bytes_of(<out var> <file> [LIMIT n]): the file's bytes as " 4e 4f 44 ...",
# one blank before each byte, so that a search cannot start inside a byte.
function(bytes_of outvar file)
    file(READ "${file}" hex HEX ${ARGN})
    string(REGEX REPLACE "(..)" " \\1" spaced "${hex}")
    set(${outvar} "${spaced}" PARENT_SCOPE)
endfunction()

# bytes_of_text(<out var> <text>): the same for a text given here.
function(bytes_of_text outvar text)
    string(HEX "${text}" hex)
    string(REGEX REPLACE "(..)" " \\1" spaced "${hex}")
    set(${outvar} "${spaced}" PARENT_SCOPE)
endfunction()

# count_text(<out var> <text> <needle>): occurrences of needle in text.
function(count_text outvar text needle)
    string(LENGTH "${text}" whole)
    string(REPLACE "${needle}" "" rest "${text}")
    string(LENGTH "${rest}" left)
    string(LENGTH "${needle}" n)
    math(EXPR count "(${whole} - ${left}) / ${n}")
    set(${outvar} ${count} PARENT_SCOPE)
endfunction()

# expect_crlf_lines(<file> <lines> <what>): the file has that many lines and
# every one of them ends with CR LF.
function(expect_crlf_lines file lines what)
    bytes_of(bytes "${file}")
    count_text(lf "${bytes}" " 0a")
    count_text(cr "${bytes}" " 0d")
    count_text(crlf "${bytes}" " 0d 0a")
    if(NOT lf EQUAL lines)
        fail("${what}: ${lf} lines, expected ${lines}")
    endif()
    if(NOT crlf EQUAL lf OR NOT cr EQUAL lf)
        fail("${what}: ${lf} line feeds, ${cr} carriage returns, ${crlf} CR LF pairs: every line must end with CR LF")
    endif()
    string(LENGTH "${bytes}" n)
    math(EXPR at "${n} - 6")
    string(SUBSTRING "${bytes}" ${at} 6 tail)
    if(NOT tail STREQUAL " 0d 0a")
        fail("${what}: the last line does not end with CR LF")
    endif()
endfunction()

function(expect_same_bytes file1 file2 what)
    file(SHA256 "${file1}" sum1)
    file(SHA256 "${file2}" sum2)
    if(NOT sum1 STREQUAL sum2)
        fail("${what}: ${file1} and ${file2} differ")
    endif()
endfunction()

# ---------------------------------------------------------------------------
# Usage
# ---------------------------------------------------------------------------
run_batch(help --help)
expect_rc(help 0 "--help")
expect_contains("${help_out}" "dump" "--help")
expect_contains("${help_out}" "info" "--help")

run_batch(noargs)
expect_usage_error(noargs "no arguments")
expect_contains("${noargs_err}" "Usage" "no arguments")

run_batch(nofile dump)
expect_usage_error(nofile "dump without a file")

run_batch(badcmd frobnicate "${NODE1}")
expect_usage_error(badcmd "unknown command")

# ---------------------------------------------------------------------------
# info
# ---------------------------------------------------------------------------
run_batch(info1 info "${NODE1}")
expect_rc(info1 0 "info node1")
expect_contains("${info1_out}" "files:   1\n" "info node1")
expect_contains("${info1_out}" "rows:    1440\n" "info node1")

run_batch(info2 info "${NODE1}" "${NODE2}")
expect_rc(info2 0 "info node1 node2")
expect_contains("${info2_out}" "files:   2\n" "info node1 node2")
expect_contains("${info2_out}" "rows:    1440\n" "info node1 node2")

# ---------------------------------------------------------------------------
# dump of one file
# ---------------------------------------------------------------------------
run_batch(dump1 dump "${NODE1}")
expect_rc(dump1 0 "dump node1")
expect_empty_file("${dump1_errfile}" "dump node1: standard error")

# Record 1 of node1_day.csv, exactly as it stands in the file.
set(record1 "NODE1,Vesk collector 4.2,Interval 60s")
bytes_of_text(record1_bytes "${record1}")
bytes_of_text(header_start_bytes "Sample Time,")
bytes_of(node1_head "${NODE1}" LIMIT 4096)
expect_starts_with("${node1_head}" "${record1_bytes} 0d 0a" "node1_day.csv: record 1")

# The dump: record 1 of the file, then the header record, every line ended by CR LF.
bytes_of(dump1_head "${dump1_outfile}" LIMIT 4096)
expect_starts_with("${dump1_head}" "${record1_bytes} 0d 0a${header_start_bytes}"
                   "dump node1: record 1 followed by a line starting \"Sample Time,\" (as hex bytes)")
expect_crlf_lines("${dump1_outfile}" 1442 "dump node1 (1440 rows + 2)")

# Save / load round trip: the dump, loaded again, dumps byte for byte the same.
file(COPY_FILE "${dump1_outfile}" "${WORK}/copy.csv")
run_batch(again dump "${WORK}/copy.csv")
expect_rc(again 0 "dump copy.csv")
expect_empty_file("${again_errfile}" "dump copy.csv: standard error")
expect_same_bytes("${dump1_outfile}" "${again_outfile}" "round trip: dump of the dump")

# ---------------------------------------------------------------------------
# dump of two files: --file picks the values
# ---------------------------------------------------------------------------
run_batch(dumpf1 dump "${NODE1}" "${NODE2}")
expect_rc(dumpf1 0 "dump node1 node2")
run_batch(dumpf2 dump --file 2 "${NODE1}" "${NODE2}")
expect_rc(dumpf2 0 "dump --file 2 node1 node2")
file(SIZE "${dumpf2_outfile}" dumpf2_size)
if(dumpf2_size EQUAL 0)
    fail("dump --file 2 node1 node2 wrote nothing")
endif()
# Each dump names the node whose values it holds: record 1 of the file it dumps.
bytes_of(dumpf1_head "${dumpf1_outfile}" LIMIT 4096)
expect_starts_with("${dumpf1_head}" "${record1_bytes} 0d 0a" "dump node1 node2: record 1 of file 1")
bytes_of_text(record1_node2_bytes "NODE2,Vesk collector 4.2,Interval 60s")
bytes_of(dumpf2_head "${dumpf2_outfile}" LIMIT 4096)
expect_starts_with("${dumpf2_head}" "${record1_node2_bytes} 0d 0a" "dump --file 2 node1 node2: record 1 of file 2")
file(SHA256 "${dumpf1_outfile}" dumpf1_sum)
file(SHA256 "${dumpf2_outfile}" dumpf2_sum)
if(dumpf1_sum STREQUAL dumpf2_sum)
    fail("dump --file 2 gives the same output as dump without --file")
endif()

# ---------------------------------------------------------------------------
# --tail-from ROW: info counts rows ROW to the last, dump writes the header
# records and those rows, as the whole dump ends
# ---------------------------------------------------------------------------
run_batch(tailinfo info --tail-from 1001 "${NODE1}" "${NODE2}")
expect_rc(tailinfo 0 "info --tail-from 1001")
expect_contains("${tailinfo_out}" "rows:    440\n" "info --tail-from 1001")
expect_contains("${tailinfo_out}" "files:   2\n" "info --tail-from 1001")
run_batch(taildump dump --tail-from 1438 "${NODE1}")
expect_rc(taildump 0 "dump --tail-from 1438")
expect_empty_file("${taildump_errfile}" "dump --tail-from 1438: standard error")
expect_crlf_lines("${taildump_outfile}" 5 "dump --tail-from 1438 (3 rows + 2)")
string(REGEX MATCHALL "[^\n]+" whole_lines "${dump1_out}")
string(REGEX MATCHALL "[^\n]+" tail_lines "${taildump_out}")
list(SUBLIST whole_lines 0 2 whole_head)
list(SUBLIST whole_lines 1439 3 whole_tail)
if(NOT tail_lines STREQUAL "${whole_head};${whole_tail}")
    fail("dump --tail-from 1438 is not the header records and the last 3 rows of the whole dump:\n${taildump_out}")
endif()
foreach(bad 0 1441 x -3)
    run_batch(tailbad info --tail-from "${bad}" "${NODE1}")
    expect_rc(tailbad 1 "info --tail-from '${bad}'")
    expect_empty_file("${tailbad_outfile}" "info --tail-from '${bad}': standard output")
    expect_contains("${tailbad_err}" "--tail-from ${bad}: not a row of the data; the files have rows 1 to 1440"
                    "info --tail-from '${bad}'")
endforeach()
run_batch(tailmissing dump "${NODE1}" --tail-from)
expect_rc(tailmissing 2 "dump --tail-from without a row")

# ---------------------------------------------------------------------------
# Files that fail
# ---------------------------------------------------------------------------
file(WRITE "${WORK}/no-terminator.csv" "NODE9,collector,06-DEC-2026 Sample Time,A,B 10:00:00,1,2")
run_batch(noterm dump "${WORK}/no-terminator.csv")
expect_rc(noterm 1 "file without record terminators")
expect_empty_file("${noterm_outfile}" "file without record terminators: standard output")
file(READ "${noterm_errfile}" noterm_err_hex HEX)
string(HEX "File has incorrect format - can't find any record terminators\n" noterm_expected_hex)
if(NOT noterm_err_hex STREQUAL noterm_expected_hex)
    fail("file without record terminators: standard error is \"${noterm_err}\" (hex ${noterm_err_hex})")
endif()

run_batch(missing info "${WORK}/does-not-exist.csv")
expect_rc(missing 1 "missing file")
expect_contains("${missing_err}" "generated while opening file" "missing file")
expect_empty_file("${missing_outfile}" "missing file: standard output")

# A FIFO is refused at once: opening it does not wait for a writer.
execute_process(COMMAND mkfifo "${WORK}/pipe.csv" RESULT_VARIABLE mkfifo_rc)
if(mkfifo_rc EQUAL 0)
    run_batch(fifo info "${WORK}/pipe.csv")
    expect_rc(fifo 1 "a FIFO")
    if(NOT fifo_err STREQUAL "Error : Not a regular file generated while opening file\n")
        fail("a FIFO: standard error is \"${fifo_err}\"")
    endif()
endif()

# ---------------------------------------------------------------------------
# A file cut off in its last record, large enough to be read on several threads:
# the same data and the same report on one thread and on several.
# ---------------------------------------------------------------------------
string(REPEAT "10:00:00,1.5,2K\r\n" 200000 many_rows)
file(WRITE "${WORK}/cut-off.csv" "N,x\r\n06-DEC-2026\r\nSample Time,A,B\r\n${many_rows}10:00:00,1")
foreach(threads 1 3)
    set(name "cutoff${threads}")
    execute_process(
        COMMAND "${CMAKE_COMMAND}" -E env KAVRA_THREADS=${threads} "${BATCH}" dump "${WORK}/cut-off.csv"
        WORKING_DIRECTORY "${WORK}" TIMEOUT 300 RESULT_VARIABLE rc
        OUTPUT_FILE "${WORK}/${name}.stdout" ERROR_FILE "${WORK}/${name}.stderr")
    file(READ "${WORK}/${name}.stderr" err)
    if(NOT rc EQUAL 0 OR NOT err STREQUAL "The last record is incomplete and was left out\n")
        fail("cut-off file on ${threads} threads: exit status ${rc}, standard error \"${err}\"")
    endif()
    file(STRINGS "${WORK}/${name}.stdout" lines)
    list(LENGTH lines count)
    if(NOT count EQUAL 200002)
        fail("cut-off file on ${threads} threads: ${count} lines, expected 200000 rows + 2, not the cut one")
    endif()
endforeach()
expect_same_bytes("${WORK}/cutoff1.stdout" "${WORK}/cutoff3.stdout" "cut-off file: one thread against three")

# ---------------------------------------------------------------------------
# Data rows with fewer fields than the header: a diagnostic, and loading goes on
# ---------------------------------------------------------------------------
file(WRITE "${WORK}/short-rows.csv"
     "N,x\r\n06-DEC-2026\r\nSample Time,A,B\r\n10:00:00,1\r\n10:01:00,2\r\n10:02:00,3,4\r\n")
run_batch(short dump "${WORK}/short-rows.csv")
expect_rc(short 0 "short data rows")
expect_starts_with("${short_err}" "Column count mismatch in data row #" "short data rows: standard error")
expect_starts_with("${short_out}" "N,x\nSample Time,A,B\n" "short data rows: standard output")
expect_crlf_lines("${short_outfile}" 5 "short data rows: standard output")
foreach(time "10:00:00" "10:01:00" "10:02:00")
    expect_contains("${short_out}" "${time}," "short data rows: standard output")
endforeach()
if(NOT short_out MATCHES "10:02:00, *3, *4\n$")
    fail("short data rows: the full last row is not in the output:\n${short_out}")
endif()

# ---------------------------------------------------------------------------
# correlate: the list Correlate shows (tests/app/correlate-node1-cpu-busy.txt,
# which the correlation window's test compares with the window's lines)
# ---------------------------------------------------------------------------
run_batch(corr correlate "${NODE1}" --item "CPU Busy")
expect_rc(corr 0 "correlate node1 CPU Busy")
expect_empty_file("${corr_errfile}" "correlate node1 CPU Busy: standard error")
expect_same_bytes("${corr_outfile}" "${CMAKE_CURRENT_LIST_DIR}/correlate-node1-cpu-busy.txt"
                  "correlate node1 CPU Busy against the window's list")

file(WRITE "${WORK}/orthogonal.csv"
     "N,x\r\n06-DEC-2026\r\nSample Time,A,B\r\n10:00:00,1,1\r\n10:01:00,2,3\r\n10:02:00,3,3\r\n10:03:00,4,1\r\n")
run_batch(corrnone correlate "${WORK}/orthogonal.csv" --item A)
expect_rc(corrnone 1 "correlate without a strong item")
expect_empty_file("${corrnone_outfile}" "correlate without a strong item: standard output")
if(NOT corrnone_err STREQUAL "No relevant items found ...\n")
    fail("correlate without a strong item: standard error is \"${corrnone_err}\"")
endif()

run_batch(corrpng correlate "${NODE1}" --item "CPU Busy" --scatter "${WORK}/scatter.png")
expect_rc(corrpng 0 "correlate --scatter scatter.png")
expect_same_bytes("${corrpng_outfile}" "${CMAKE_CURRENT_LIST_DIR}/correlate-node1-cpu-busy.txt"
                  "correlate --scatter: the list")
bytes_of(png_head "${WORK}/scatter.png" LIMIT 8)
if(NOT png_head STREQUAL " 89 50 4e 47 0d 0a 1a 0a")
    fail("correlate --scatter scatter.png did not write a PNG picture (${png_head})")
endif()
run_batch(corrext correlate "${NODE1}" --item "CPU Busy" --scatter "${WORK}/scatter.xyz")
expect_rc(corrext 2 "correlate --scatter with an unknown extension")
expect_contains("${corrext_err}" "Unknown picture format" "correlate --scatter with an unknown extension")

run_batch(corrunknown correlate "${NODE1}" --item "No Such Item")
expect_rc(corrunknown 2 "correlate an unknown item")
expect_contains("${corrunknown_err}" "No Such Item" "correlate an unknown item")
run_batch(corrrows correlate "${NODE1}" --item "CPU Busy" --from 10 --to 2000)
expect_rc(corrrows 2 "correlate rows beyond the data")
expect_contains("${corrrows_err}" "rows 1 to 1440" "correlate rows beyond the data")
run_batch(corrnoitem correlate "${NODE1}")
expect_rc(corrnoitem 2 "correlate without --item")
expect_contains("${corrnoitem_err}" "correlate" "correlate without --item: usage")

# ---------------------------------------------------------------------------
# rank: rows FROM to TO against all other rows, the largest changes first
# whatever their sign, equal sizes in list order; the file loaded last
# ---------------------------------------------------------------------------
expect_contains("${help_out}" "kavra-batch rank FILE [FILE...] --from ROW --to ROW [--top N]" "--help")
file(WRITE "${WORK}/steps.csv"
     "N,x\r\n06-DEC-2026\r\nSample Time,Flat,Rises,Falls,Noise\r\n10:00:00,5,1,9,3\r\n10:01:00,5,2,8,1\r\n"
     "10:02:00,5,7,2,4\r\n10:03:00,5,8,3,1\r\n10:04:00,5,1,9,5\r\n10:05:00,5,2,8,2\r\n")
file(WRITE "${WORK}/steps-later.csv"
     "N2,x\r\n06-DEC-2026\r\nSample Time,Flat,Rises,Falls,Noise\r\n10:00:00,5,1,1,3\r\n10:01:00,5,1,2,1\r\n"
     "10:02:00,5,1,9,4\r\n10:03:00,5,1,8,1\r\n10:04:00,5,1,1,5\r\n10:05:00,5,1,2,2\r\n")
# expect_rank(<name> <expected output> FILES f... OPTIONS o...): the output byte for byte.
function(expect_rank name expected)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "FILES;OPTIONS")
    set(paths "")
    foreach(f IN LISTS arg_FILES)
        list(APPEND paths "${WORK}/${f}")
    endforeach()
    run_batch(${name} rank ${paths} ${arg_OPTIONS})
    set(what "rank ${arg_FILES} ${arg_OPTIONS}")
    expect_rc(${name} 0 "${what}")
    expect_empty_file("${${name}_errfile}" "${what}: standard error")
    file(READ "${${name}_outfile}" out_hex HEX)
    string(HEX "${expected}" expected_hex)
    if(NOT out_hex STREQUAL expected_hex)
        fail("${what}: standard output is\n${${name}_out}\nexpected\n${expected}")
    endif()
endfunction()
# Worked by hand: Rises 7.5 against 1.5, pooled deviation sqrt((0.5 + 1) / 4);
# Falls as far the other way, listed first.
expect_rank(rank1 "-9.80  Falls\n+9.80  Rises\n-0.14  Noise\n+0.00  Flat\n" FILES steps.csv OPTIONS --from 3 --to 4)
expect_rank(ranktop "-9.80  Falls\n+9.80  Rises\n" FILES steps.csv OPTIONS --top 2 --from 3 --to 4)
expect_rank(ranklast "+11.43  Falls\n-0.14  Noise\n+0.00  Flat\n+0.00  Rises\n"
            FILES steps.csv steps-later.csv OPTIONS --from 3 --to 4)

run_batch(rankfew rank "${WORK}/steps.csv" --from 2 --to 6)
expect_rc(rankfew 1 "rank with one row outside")
expect_empty_file("${rankfew_outfile}" "rank with one row outside: standard output")
if(NOT rankfew_err STREQUAL "Not enough rows outside the cursors\n")
    fail("rank with one row outside: standard error is \"${rankfew_err}\"")
endif()
foreach(rows "4;3" "1;7")
    list(GET rows 0 from)
    list(GET rows 1 to)
    run_batch(rankrows rank "${WORK}/steps.csv" --from ${from} --to ${to})
    expect_rc(rankrows 2 "rank --from ${from} --to ${to}")
    expect_contains("${rankrows_err}" "Rows ${from} to ${to} are not rows of the data: use rows 1 to 6"
                    "rank --from ${from} --to ${to}")
endforeach()
foreach(bad "--from;3" "--to;4" "--from;0;--to;4" "--from;3;--to;4;--top;0" "--from;x;--to;4" "--from;3;--to")
    run_batch(rankbad rank "${WORK}/steps.csv" ${bad})
    expect_rc(rankbad 2 "rank ${bad}")
    expect_contains("${rankbad_err}" "Usage" "rank ${bad}")
endforeach()

# A real day: 50 lines of the one form, and --top cuts the same list.
run_batch(rankday rank "${NODE1}" --from 600 --to 700)
expect_rc(rankday 0 "rank node1 600..700")
string(REGEX MATCHALL "[^\n]+" rankday_lines "${rankday_out}")
list(LENGTH rankday_lines rankday_count)
if(NOT rankday_count EQUAL 50)
    fail("rank node1 600..700: ${rankday_count} lines, expected 50")
endif()
foreach(line IN LISTS rankday_lines)
    if(NOT line MATCHES "^[+-][0-9]+\\.[0-9][0-9]  [^ ].*$")
        fail("rank node1 600..700: line \"${line}\" is not \"+3.42  Name\"")
    endif()
endforeach()
run_batch(rankday3 rank "${NODE1}" --from 600 --to 700 --top 3)
list(SUBLIST rankday_lines 0 3 first3)
string(REPLACE ";" "\n" first3 "${first3}")
if(NOT rankday3_out STREQUAL "${first3}\n")
    fail("rank --top 3 is not the first 3 lines of the whole ranking:\n${rankday3_out}")
endif()

# ---------------------------------------------------------------------------
# render --zoom: the chart as right after a zoom to rows FIRST to LAST
# ---------------------------------------------------------------------------
expect_contains("${help_out}" "[--zoom FIRST:LAST]" "--help")
foreach(bad "abc" "600" "700:600" "0:10" "5:5" "1:x" ":7" "3:-4")
    run_batch(zoombad render "${NODE1}" --zoom "${bad}" -o "${WORK}/refused.png")
    expect_rc(zoombad 2 "render --zoom ${bad}")
    expect_contains("${zoombad_err}" "Usage" "render --zoom ${bad}")
endforeach()
run_batch(zoomlast render "${NODE1}" -o "${WORK}/refused.png" --zoom)
expect_rc(zoomlast 2 "render --zoom without rows")

run_batch(zoomprobe render "${NODE1}" --size 64x64 -o "${WORK}/probe.png")
string(FIND "${zoomprobe_err}" "built without the chart" without_chart)
if(without_chart EQUAL -1)
    run_batch(zoom render "${NODE1}" --zoom 600:700 --size 400x300 -o "${WORK}/zoom.png")
    expect_rc(zoom 0 "render --zoom 600:700")
    if(NOT EXISTS "${WORK}/zoom.png")
        fail("render --zoom 600:700 wrote no picture")
    endif()
    run_batch(zoomrows render "${NODE1}" --zoom 1:1441 -o "${WORK}/refused.png")
    expect_rc(zoomrows 2 "render --zoom 1:1441")
    expect_contains("${zoomrows_err}" "--zoom 1:1441: the files have rows 1 to 1440" "render --zoom 1:1441")
endif()
if(EXISTS "${WORK}/refused.png")
    fail("a refused --zoom wrote a picture")
endif()

# ---------------------------------------------------------------------------
# report: a PDF document read back by poppler's tools
# ---------------------------------------------------------------------------
expect_contains("${help_out}" "kavra-batch report FILE [FILE...] -o REPORT.pdf" "--help")
find_program(PDFINFO pdfinfo)
find_program(PDFTOTEXT pdftotext)
# expect_report(<name> <pages> <texts> ARGS...): report ARGS writes <name>.pdf
# of that many pages, in whose text every one of texts (a list) stands.
function(expect_report name pages texts)
    set(pdf "${WORK}/${name}.pdf")
    run_batch(${name} report ${ARGN} -o "${pdf}")
    expect_rc(${name} 0 "report ${ARGN}")
    bytes_of(head "${pdf}" LIMIT 5)
    if(NOT head STREQUAL " 25 50 44 46 2d")
        fail("report ${ARGN}: not a PDF document (${head})")
    endif()
    if(PDFINFO AND PDFTOTEXT)
        execute_process(COMMAND "${PDFINFO}" "${pdf}" OUTPUT_VARIABLE info RESULT_VARIABLE info_rc)
        if(NOT info_rc EQUAL 0 OR NOT info MATCHES "\nPages: +${pages}\n")
            fail("report ${ARGN}: pdfinfo says (${info_rc}), expected ${pages} pages:\n${info}")
        endif()
        execute_process(COMMAND "${PDFTOTEXT}" -layout "${pdf}" - OUTPUT_VARIABLE pdftext)
        foreach(needle IN LISTS texts)
            expect_contains("${pdftext}" "${needle}" "report ${ARGN}: the text pdftotext reads")
        endforeach()
    endif()
endfunction()
if(without_chart EQUAL -1)
    set(summary "Files" "node NODE1, collected 06-DEC-2026" "node NODE2" "First sample" "06-DEC-2026 00:10:00"
                "Last sample" "06-DEC-2026 00:29:00" "Rows" "20 (rows 11 to 30 of 1440)" "Items all zero"
                "Page 1 of 3" "Page 3 of 3" "Kavra Report - Node(s) : NODE1, NODE2")
    expect_report(report2 3 "${summary};CPU Busy(# 1);CPU Busy(# 2);CPU Queue Length(# 2);Median"
                  "${NODE1}" "${NODE2}" --items "CPU Busy,CPU Queue Length,CPU Busy Cpu 03" --per-page 2
                  --from 11 --to 30)
    # By default the 24 items of the highest median, 4 to a page.
    expect_report(reporttop 7 "Page 7 of 7;the 24 items with the highest median" "${NODE1}")
    expect_report(reporttop3 2 "the 3 items with the highest median" "${NODE1}" --top 3)
    # Medians worked by hand: Falls 8, Flat 5, Noise 2.5, Rises 2; Idle is all zero.
    file(WRITE "${WORK}/medians.csv"
         "N,x\r\n06-DEC-2026\r\nSample Time,Flat,Rises,Falls,Idle,Noise\r\n10:00:00,5,1,9,0,3\r\n"
         "10:01:00,5,2,8,0,1\r\n10:02:00,5,7,2,0,4\r\n10:03:00,5,8,3,0,1\r\n10:04:00,5,1,9,0,5\r\n"
         "10:05:00,5,2,8,0,2\r\n")
    expect_report(reportmedian 3 "Items all zero;1: Idle;Min 2;Max 9;Mean 6.5;Median 8;Last 8"
                  "${WORK}/medians.csv" --top 3 --per-page 2)
    if(PDFTOTEXT)
        execute_process(COMMAND "${PDFTOTEXT}" "${WORK}/reportmedian.pdf" - OUTPUT_VARIABLE median_text)
        string(REGEX MATCHALL "(Falls|Flat|Noise|Rises|Idle)\\(# 1\\)" charted "${median_text}")
        if(NOT charted STREQUAL "Falls(# 1);Falls(# 1);Flat(# 1);Flat(# 1);Noise(# 1);Noise(# 1)")
            fail("report --top 3: the items charted, in order, are ${charted}")
        endif()
    endif()

    file(WRITE "${WORK}/kept.pdf" "the report that was there\n")
    run_batch(reportunknown report "${NODE1}" --items "CPU Busy,No Such Item" -o "${WORK}/kept.pdf")
    expect_rc(reportunknown 1 "report of an unknown item")
    if(NOT reportunknown_err STREQUAL "No such item: No Such Item\n")
        fail("report of an unknown item: standard error is \"${reportunknown_err}\"")
    endif()
    file(READ "${WORK}/kept.pdf" kept)
    if(NOT kept STREQUAL "the report that was there\n")
        fail("report of an unknown item changed the file that was there")
    endif()
    run_batch(reportnofolder report "${NODE1}" -o "${WORK}/no-such-folder/report.pdf")
    expect_rc(reportnofolder 1 "report into a missing folder")
    expect_contains("${reportnofolder_err}" "No such file or directory" "report into a missing folder")
    run_batch(reportrows report "${NODE1}" --from 30 --to 1441 -o "${WORK}/refused.pdf")
    expect_rc(reportrows 2 "report of rows beyond the data")
    expect_contains("${reportrows_err}" "Rows 30 to 1441 are not rows of the data: use rows 1 to 1440"
                    "report of rows beyond the data")
    foreach(bad "--per-page;0" "--per-page;9" "--top;0" "--top;3;--items;CPU Busy" "--from;x")
        run_batch(reportbad report "${NODE1}" ${bad} -o "${WORK}/refused.pdf")
        expect_rc(reportbad 2 "report ${bad}")
        expect_contains("${reportbad_err}" "Usage" "report ${bad}")
    endforeach()
    run_batch(reportnoout report "${NODE1}")
    expect_rc(reportnoout 2 "report without -o")
    if(EXISTS "${WORK}/refused.pdf")
        fail("a refused report wrote a file")
    endif()
endif()

# ---------------------------------------------------------------------------
# Output that cannot be written: the reason on standard error, exit status 1,
# and a picture that was there before left byte for byte with nothing beside it
# ---------------------------------------------------------------------------
foreach(command dump info correlate)
    set(args "${NODE1}")
    if(command STREQUAL "correlate")
        list(APPEND args --item "CPU Busy")
    endif()
    execute_process(COMMAND "${BATCH}" ${command} ${args} OUTPUT_FILE /dev/full
                    ERROR_VARIABLE full_err RESULT_VARIABLE full_rc)
    if(NOT full_rc STREQUAL "1")
        fail("${command} to /dev/full: exit status ${full_rc}, expected 1\n${full_err}")
    endif()
    expect_contains("${full_err}" "No space left on device" "${command} to /dev/full: standard error")
endforeach()

if(without_chart EQUAL -1)
    set(before "the picture that was there\n")
    set(n 0)
    foreach(case "render;old.wmf" "render;old.emf" "render;old.png;--size;200x150" "render;old.svg"
                 "correlate;old.png;--item;CPU Busy" "report;old.pdf")
        math(EXPR n "${n} + 1")
        list(POP_FRONT case command picture)
        set(folder "${WORK}/full${n}")
        file(MAKE_DIRECTORY "${folder}")
        file(WRITE "${folder}/${picture}" "${before}")
        set(output -o)
        if(command STREQUAL "correlate")
            set(output --scatter)
        endif()
        # A shell's file size limit (512 bytes) stands for a full disk.
        execute_process(COMMAND sh -c "ulimit -f 1 && exec \"$@\"" sh "${BATCH}" ${command} "${NODE1}"
                                ${output} "${folder}/${picture}" ${case}
                        OUTPUT_QUIET ERROR_VARIABLE limited_err RESULT_VARIABLE limited_rc)
        set(what "${command} ${picture} with a file size limit")
        if(NOT limited_rc STREQUAL "1")
            fail("${what}: exit status ${limited_rc}, expected 1\n${limited_err}")
        endif()
        expect_contains("${limited_err}" "File too large" "${what}: standard error")
        file(READ "${folder}/${picture}" after)
        if(NOT after STREQUAL before)
            fail("${what}: the picture that was there is now:\n${after}")
        endif()
        file(GLOB left LIST_DIRECTORIES true RELATIVE "${folder}" "${folder}/*" "${folder}/.*")
        if(NOT left STREQUAL "${picture}")
            fail("${what}: the folder holds ${left}")
        endif()
    endforeach()

    # A name of 250 bytes, the most a file system takes being 255.
    string(REPEAT "n" 246 long)
    run_batch(longname render "${NODE1}" --size 200x150 -o "${WORK}/${long}.png")
    expect_rc(longname 0 "render to a name of 250 bytes")
    if(NOT EXISTS "${WORK}/${long}.png")
        fail("render to a name of 250 bytes wrote no picture")
    endif()
endif()

message(STATUS "batch_cli: all checks passed")
