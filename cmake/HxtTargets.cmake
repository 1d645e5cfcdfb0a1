# Helpers that every folder uses to declare tests, fuzz targets and benchmarks the same way.

# hxt_add_gtest(NAME SOURCES a.cpp b.cpp LIBS lib... [LABELS l...])
# A GoogleTest program; each of its cases is a ctest entry of its own (listed when ctest runs), so one case can be
# run alone (ctest -R 'Suite.case') and cases of one program run side by side.
include(GoogleTest)
function(hxt_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT TARGET GTest::gtest)
        find_package(GTest REQUIRED)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}/" TEST_LIST ${name}_cases)
    # Properties whose values are lists do not survive the discovery's own PROPERTIES argument, so they are set by a
    # script that ctest runs after it has listed the cases.
    set(properties ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
    file(WRITE ${properties} "if(${name}_cases)
    set_tests_properties(\${${name}_cases} PROPERTIES LABELS \"unit;${ARG_LABELS}\"
        ENVIRONMENT \"LANG=C.UTF-8;HXT_SOURCE_DIR=${PROJECT_SOURCE_DIR};HXT_BINARY_DIR=${PROJECT_BINARY_DIR}\")
endif()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties})
endfunction()

# hxt_add_qtest(NAME SOURCES a.cpp LIBS lib...)
# A Qt Test program run offscreen with private HOME and XDG folders.
function(hxt_add_qtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-private-home ${CMAKE_CURRENT_BINARY_DIR}/${name})
    set_tests_properties(${name} PROPERTIES LABELS "gui;${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;HXT_SOURCE_DIR=${PROJECT_SOURCE_DIR};HXT_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# hxt_add_fuzz_target(NAME SOURCES f.cpp LIBS lib... CORPUS dir)
# With HXT_FUZZ a libFuzzer program (the whole build then carries coverage instrumentation, see HxtOptions);
# otherwise a plain program that replays the seed corpus, run by ctest. A relative CORPUS is in the calling folder.
function(hxt_add_fuzz_target name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    if(NOT IS_ABSOLUTE "${ARG_CORPUS}")
        set(ARG_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_CORPUS})
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(HXT_FUZZ)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
        add_test(NAME ${name}-replay COMMAND ${name} ${ARG_CORPUS})
        set_tests_properties(${name}-replay PROPERTIES LABELS "fuzz" ENVIRONMENT "LANG=C.UTF-8")
    endif()
endfunction()

# hxt_add_benchmark(NAME SOURCES b.cpp LIBS lib...)
# A Google Benchmark program; not a test (speed is measured, never asserted in tests).
function(hxt_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    find_package(benchmark REQUIRED)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# hxt_add_e2e_test(NAME [ALONE] COMMAND cmd args...)
# A whole-system test; the command normally starts a lab itself (scripts/lab run ...). Labs are network namespaces
# of their own with unique names, so such tests run side by side; ALONE keeps a test that measures how much
# arrives in time (a burst of answers) from sharing the machine.
function(hxt_add_e2e_test name)
    cmake_parse_arguments(ARG "ALONE" "TIMEOUT" "COMMAND" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${ARG_COMMAND})
    set_tests_properties(${name} PROPERTIES LABELS "e2e" TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL ${ARG_ALONE}
        ENVIRONMENT "LANG=C.UTF-8;HXT_SOURCE_DIR=${PROJECT_SOURCE_DIR};HXT_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# A Qt Test program run offscreen in the lab against the simulator with a scenario, under a private home:
#   hxt_add_lab_qtest(TEST_NAME TARGET SOURCE scenario.conf LIBS lib... [TIMEOUT s] [INCLUDES dir...])
# Labelled "e2e;gui": the thread build leaves it out with the other widget tests.
function(hxt_add_lab_qtest name target source scenario)
    cmake_parse_arguments(ARG "" "TIMEOUT" "LIBS;INCLUDES" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_executable(${target} ${source})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets)
    if(ARG_INCLUDES)
        target_include_directories(${target} PRIVATE ${ARG_INCLUDES})
    endif()
    hxt_add_e2e_test(${name} TIMEOUT ${ARG_TIMEOUT}
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/lab run
            --sim "--scenario ${scenario}" --sim-bin $<TARGET_FILE:hxt914q-sim>
            -- env QT_QPA_PLATFORM=offscreen ${PROJECT_SOURCE_DIR}/scripts/with-private-home
            $<TARGET_FILE:${target}>)
    set_tests_properties(${name} PROPERTIES LABELS "e2e;gui")
endfunction()

# One run of a lab Qt test program (built elsewhere) against a scenario, with extra environment, under a private
# home.
#   hxt_add_lab_qtest_run(TEST_NAME TARGET scenario.conf [ENV VAR=VALUE...] [TIMEOUT s])
function(hxt_add_lab_qtest_run name target scenario)
    cmake_parse_arguments(ARG "" "TIMEOUT" "ENV" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/lab run
        --sim "--scenario ${scenario}" --sim-bin $<TARGET_FILE:hxt914q-sim>
        -- env QT_QPA_PLATFORM=offscreen ${ARG_ENV} ${PROJECT_SOURCE_DIR}/scripts/with-private-home
        $<TARGET_FILE:${target}>)
    set_tests_properties(${name} PROPERTIES LABELS "e2e;gui" TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "LANG=C.UTF-8;HXT_SOURCE_DIR=${PROJECT_SOURCE_DIR};HXT_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# hxt_add_module_dirs(): adds every subfolder of the calling folder that has a CMakeLists.txt, in name order (the
# test folders hold one subfolder per module, the benchmarks one per benchmark).
function(hxt_add_module_dirs)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child ${children})
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
