# Shared helpers for every target of the project.

# nv_add_subdirectories(DIR): adds DIR itself when it has a CMakeLists.txt, else every direct
# sub-folder of DIR that has one, in sorted order. New folders join the build by existing.
function(nv_add_subdirectories dir)
    set(base ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
    if(NOT IS_DIRECTORY ${base})
        return()
    endif()
    if(EXISTS ${base}/CMakeLists.txt)
        add_subdirectory(${base})
        return()
    endif()
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${base} ${base}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${base}/${child} AND EXISTS ${base}/${child}/CMakeLists.txt)
            add_subdirectory(${base}/${child})
        endif()
    endforeach()
endfunction()

# nv_target_defaults(TARGET): the house warnings and include root for one of our targets.
function(nv_target_defaults target)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
            -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
        if(NV_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()

# nv_library(NAME SOURCES... [DEPS libs...]): a static library of the core.
function(nv_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    nv_target_defaults(${name})
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
endfunction()

# nv_unit_test(NAME SOURCES... [DEPS libs...] [LABELS labels...] [ENV VAR=value...]): a GoogleTest executable
# whose tests CTest runs one by one. Tests get the shared vectors folder and the program
# directory through environment variables so that they never depend on the working folder.
function(nv_unit_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS;ENV" ${ARGN})
    if(NOT NV_BUILD_TESTS)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    nv_target_defaults(${name})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # MinGW's GCC 12 reports false overlaps inside std::string at -O3 (GCC bug 105329).
        target_compile_options(${name} PRIVATE -Wno-restrict)
    endif()
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    # The environment reaches the tests through a launcher: a list-valued ENVIRONMENT property
    # does not survive gtest_discover_tests, which flattens it into separate properties.
    # A cross build runs its tests through the emulator (Wine) after the environment is set.
    # The language is the default library's unless a test asks for another (ENV comes later).
    set(launcher ${CMAKE_COMMAND} -E env --unset=LANGUAGE --unset=LC_ALL --unset=LC_MESSAGES
        LANG=C.UTF-8 ${ARG_ENV} NV_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data
        NV_PROGRAM_DIR=${NV_PROGRAM_DIR} ${CMAKE_CROSSCOMPILING_EMULATOR})
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${launcher}")
    include(GoogleTest)
    # The first run under an emulator may have to create its prefix.
    set(timeout 60)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        set(timeout 300)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT ${timeout}
        PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# nv_fuzz_target(NAME SOURCES... DEPS libs... [CORPUS dir]): a libFuzzer target. In ordinary
# builds a replay executable runs the saved corpus as a unit test, so every input once found
# stays tested; with NV_FUZZ (clang) the real fuzzer is built, joins the target
# nv_fuzz_targets, and a CTest test labelled "fuzz" runs it for NV_FUZZ_SECONDS on a copy of
# the corpus.
set(NV_FUZZ_SECONDS 60 CACHE STRING "How long each fuzz test runs")
function(nv_fuzz_target name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_CORPUS)
        set(ARG_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    endif()
    if(NV_FUZZ)
        add_executable(fuzz_${name} ${ARG_SOURCES})
        nv_target_defaults(fuzz_${name})
        target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPS})
        # The fuzz preset builds this target alone: the fuzzers and what they link.
        if(NOT TARGET nv_fuzz_targets)
            add_custom_target(nv_fuzz_targets)
        endif()
        add_dependencies(nv_fuzz_targets fuzz_${name})
        set(work ${CMAKE_CURRENT_BINARY_DIR}/corpus_${name})
        add_test(NAME fuzz.${name}
            COMMAND ${CMAKE_COMMAND} -E env NV_FUZZ_CORPUS=${ARG_CORPUS} NV_FUZZ_WORK=${work}
                    ${PROJECT_SOURCE_DIR}/scripts/run-fuzz $<TARGET_FILE:fuzz_${name}> ${NV_FUZZ_SECONDS})
        set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 900)
    elseif(NV_BUILD_TESTS)
        add_executable(replay_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
        nv_target_defaults(replay_${name})
        set_target_properties(replay_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        target_link_libraries(replay_${name} PRIVATE ${ARG_DEPS})
        add_test(NAME replay.${name} COMMAND replay_${name} ${ARG_CORPUS})
        set_tests_properties(replay.${name} PROPERTIES LABELS unit)
    endif()
endfunction()
include(NorvaneResources)

# nv_cups_scheduler_fixture(PREFIX FIXTURE DIR_VAR): end-to-end tests' private CUPS scheduler.
# Adds the CTest tests PREFIX.scheduler_start and PREFIX.scheduler_stop as setup and cleanup of
# FIXTURE (so the scheduler stops also when a test fails) and sets DIR_VAR to its server folder.
function(nv_cups_scheduler_fixture prefix fixture dir_var)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/cups-server)
    set(script ${PROJECT_SOURCE_DIR}/scripts/cups-test-server)
    add_test(NAME ${prefix}.scheduler_start COMMAND ${script} start ${dir})
    add_test(NAME ${prefix}.scheduler_stop COMMAND ${script} stop ${dir})
    set_tests_properties(${prefix}.scheduler_start PROPERTIES
        FIXTURES_SETUP ${fixture} LABELS e2e TIMEOUT 60)
    set_tests_properties(${prefix}.scheduler_stop PROPERTIES
        FIXTURES_CLEANUP ${fixture} LABELS e2e TIMEOUT 60)
    set(${dir_var} ${dir} PARENT_SCOPE)
endfunction()
