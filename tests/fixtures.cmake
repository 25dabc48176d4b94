# Larger logs for the suites, written once per test run by insloggen into the build tree.
# A suite that reads them sets  FIXTURES_REQUIRED TessaryTestLogs  and finds them under
# ${TESSARY_TESTLOG_DIR} (also passed to tests as the environment variable of that name).
#
#   ins64_32m.dat       INS-Net 64, one line, 32 MiB, every default damage rate
#   ins1500_16m.dat     INS-Net 1500, 16 MiB, 32-bit counter wrapping early
#   bulk_two_lines.dat  data kind 4, two INS-Net 64 lines, 100000 records
#   ring_counts.dat     ring (loop count 3, head at 41 %), base from the counts
#   ring_endtime.dat    ring with extended header over 13 days: base from the end time
#   wrap30_31st.dat     starts 2024-01-31 22:00, three days, 30-bit counter wrapping
#   damaged.dat         noise, stray marks, fill, CRC errors, odd frames, a receive kind-9
#                       record (no block) as record 5000, cut last record
#   corrected.dat       linear, extended header of 40 bytes, start correction -3600000 ms
set(TESSARY_TESTLOG_DIR ${PROJECT_BINARY_DIR}/testlogs)

# One entry per log: the file name, then the insloggen options.
set(testLogs
    "ins64_32m.dat --seed 101 --size 32M"
    "ins1500_16m.dat --seed 102 --size 16M --board 1500 --count-start 0xFFFF0000"
    "bulk_two_lines.dat --seed 103 --records 100000 --data-kind 4"
    "ring_counts.dat --seed 104 --records 50000 --loop-count 3 --head-offset 41% --count-start 0x3FFFF000"
    "ring_endtime.dat --seed 105 --span 13d --ring --ext-header 32 --poll-interval 1h --call-interval 2h"
    "wrap30_31st.dat --seed 106 --span 3d --start 2024-01-31T22:00:00.000 --count-start 0x3FFFFF00 --poll-interval 60s --call-interval 10m"
    "damaged.dat --seed 107 --records 20000 --noise 30 --stray-marks 20 --fill 30 --bad-fcs 20 --odd-frames 50 --prefix 50 --oversize 20 --no-block-at 5000 --truncate-last"
    "corrected.dat --seed 108 --records 20000 --ext-header 40 --start-correction -3600000"
)

add_test(NAME testlogs_folder COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARY_TESTLOG_DIR})
set_tests_properties(testlogs_folder PROPERTIES FIXTURES_SETUP TessaryTestLogs)

foreach(entry IN LISTS testLogs)
    separate_arguments(parts UNIX_COMMAND "${entry}")
    list(POP_FRONT parts name)
    string(REPLACE ".dat" "" testName "${name}")
    add_test(NAME testlogs_${testName}
             COMMAND insloggen --quiet ${parts} --out ${TESSARY_TESTLOG_DIR}/${name})
    set_tests_properties(testlogs_${testName} PROPERTIES
        FIXTURES_SETUP TessaryTestLogs
        DEPENDS testlogs_folder)
endforeach()
