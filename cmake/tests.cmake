# Every check of the native build as a CTest test, each with labels that
# `ctest -L` picks:
#   unit        the GoogleTest programs and the include graph
#   regression  the whole loop held to the stored digests (also unit)
#   tsan        the sound's concurrency tests (also unit), for a TSan build
#   window      the real-window and real-tool scripts, tests/window/*.sh
#   compat      the window scripts marked so, on the SDL 1.2 compatibility layer
#   deb         the Debian package: lintian, install, run, remove
#   fuzz        each fuzz target for TORVELIN_FUZZ_SECONDS, in a fuzz build
#   cross       every test of a cross build, run under its emulator
# The web build (cmake/web.cmake) adds web, the Windows build wine.
find_package(GTest REQUIRED)
include(GoogleTest)

# A cross build's tests carry the cross label as well.
set(cross_label)
if(CMAKE_CROSSCOMPILING)
  set(cross_label cross)
endif()

# The capture tools as the capture tests start them: through the emulator in
# a cross build, whose programs the kernel may not start by itself.
function(torvelin_capture_program variable target)
  set(program $<TARGET_FILE:${target}>)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
    set(program ${CMAKE_BINARY_DIR}/${target}-emulated)
    # Written now, where the capture tools are built (tools/capture/).
    file(WRITE ${program} "#!/bin/sh\nexec ${emulator} ${CMAKE_BINARY_DIR}/tools/capture/${target} \"$@\"\n")
    file(CHMOD ${program} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  endif()
  set(${variable} ${program} PARENT_SCOPE)
endfunction()
torvelin_capture_program(capture_program intro-capture)
torvelin_capture_program(capture_fullscreen_program intro-capture-fullscreen)

# Unit tests: tests/<subsystem>/*.cpp make one program per subsystem. Each
# program links only its subsystem's library (and so what that links), so
# code that reaches up the graph fails to link; the platform and the sound
# output run on their headless device side. The driver's and the capture
# tests run the whole program on the headless backend.
set(test_links_core tv_core)
set(test_links_containers tv_containers)
set(test_links_image tv_image)
set(test_links_text tv_text)
set(test_links_effects tv_effects)
set(test_links_platform tv_platform tv_platform_headless tv_audio_headless)
# The headless display pulls the headless sound device's sound: either
# test takes both.
set(test_links_audio tv_audio tv_bank tv_audio_headless tv_platform_headless)
set(test_links_program tv_flavour_windowed tv_backend_headless torvelin)
# The generated data, checked as the program carries it.
set(test_links_data tv_assets tv_bank tv_core)
# The capture tests start the capture tool and read its PNG files.
set(test_links_capture ${test_links_program} PNG::PNG)
# Test suites with a label of their own besides unit.
set(test_suites_regression capture "Regression*.*")
set(test_suites_tsan audio "*Concurrency*")

# Discovers the tests of one program, those of a suite with a label of
# their own apart. The labels are set when ctest reads the discovered
# tests, by test_labels.cmake: a list of labels cannot pass through
# discovery's PROPERTIES.
set(label_script ${CMAKE_BINARY_DIR}/test_labels.cmake)
file(WRITE ${label_script} "")
function(torvelin_label_tests list labels)
  list(REMOVE_ITEM labels "")
  file(APPEND ${label_script}
    "if(${list})\n  set_tests_properties(\${${list}} PROPERTIES LABELS \"${labels}\")\nendif()\n")
endfunction()
function(torvelin_discover_tests subsystem)
  set(rest_filter)
  foreach(label regression tsan)
    list(GET test_suites_${label} 0 suite_subsystem)
    if(suite_subsystem STREQUAL subsystem)
      list(GET test_suites_${label} 1 suite)
      gtest_discover_tests(test_${subsystem} DISCOVERY_TIMEOUT 60 TEST_FILTER ${suite}
        TEST_LIST torvelin_tests_${subsystem}_${label})
      torvelin_label_tests(torvelin_tests_${subsystem}_${label} "unit;${label};${cross_label}")
      set(rest_filter TEST_FILTER "-${suite}")
    endif()
  endforeach()
  gtest_discover_tests(test_${subsystem} DISCOVERY_TIMEOUT 60 ${rest_filter} TEST_LIST torvelin_tests_${subsystem})
  torvelin_label_tests(torvelin_tests_${subsystem} "unit;${cross_label}")
endfunction()

file(GLOB test_dirs LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${test_dirs})
  file(GLOB test_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(IS_DIRECTORY ${dir} AND test_sources)
    get_filename_component(subsystem ${dir} NAME)
    set(links ${test_links_program})
    if(DEFINED test_links_${subsystem})
      set(links ${test_links_${subsystem}})
    endif()
    add_executable(test_${subsystem} ${test_sources})
    target_link_libraries(test_${subsystem} PRIVATE ${links} GTest::gtest_main)
    target_compile_definitions(test_${subsystem} PRIVATE
      TORVELIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TORVELIN_BINARY_DIR="${CMAKE_BINARY_DIR}")
    torvelin_discover_tests(${subsystem})
  endif()
endforeach()
add_dependencies(test_capture intro-capture intro-capture-fullscreen)
target_compile_definitions(test_capture PRIVATE TORVELIN_CAPTURE="${capture_program}"
  TORVELIN_CAPTURE_FULLSCREEN="${capture_fullscreen_program}")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})

# Every quoted include under src/ points down the graph.
add_test(NAME include_graph COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_includes.sh ${CMAKE_SOURCE_DIR}/src)
set_tests_properties(include_graph PROPERTIES LABELS unit)
# The demo archives' file_id.diz and .nfo keep to their sizes and to ASCII.
add_test(NAME archive_texts COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_archive_texts.sh ${CMAKE_SOURCE_DIR}/packaging)
set_tests_properties(archive_texts PROPERTIES LABELS unit)

# Real-window and real-tool tests: tests/window/*.sh, run against the
# programs. A script whose "# ctest-labels: compat" line says so runs again
# as compat_<name> on the SDL 1.2 compatibility layer, which the
# compat_layer test fetches into compat/ and checks the programs load.
if(TORVELIN_PROGRAMS)
  set(window_environment INTRO=$<TARGET_FILE:intro> INTRO_FULLSCREEN=$<TARGET_FILE:intro-fullscreen>
    BUILD_DIR=${CMAKE_BINARY_DIR} SOURCE_DIR=${CMAKE_SOURCE_DIR})
  set(compat_lib ${CMAKE_BINARY_DIR}/compat/root/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})
  add_test(NAME compat_layer COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/test_compat.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(compat_layer PROPERTIES LABELS compat FIXTURES_SETUP compat_layer)
  file(GLOB window_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/window/*.sh)
  foreach(script ${window_tests})
    get_filename_component(test_name ${script} NAME_WE)
    add_test(NAME window_${test_name} COMMAND bash ${script})
    set_tests_properties(window_${test_name} PROPERTIES LABELS window TIMEOUT 300
      ENVIRONMENT "${window_environment}")
    file(STRINGS ${script} compat_line REGEX "^# ctest-labels: .*compat" LIMIT_COUNT 1)
    if(compat_line)
      add_test(NAME compat_${test_name} COMMAND bash ${script})
      set_tests_properties(compat_${test_name} PROPERTIES LABELS compat TIMEOUT 300
        FIXTURES_REQUIRED compat_layer
        ENVIRONMENT "${window_environment};LD_LIBRARY_PATH=${compat_lib}/sdl12-compat:${compat_lib}")
    endif()
  endforeach()

  # Makes the package and checks it installed; it installs into the system.
  add_test(NAME deb_package COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/test_deb.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(deb_package PROPERTIES LABELS deb TIMEOUT 600 RUN_SERIAL ON)
endif()

if(TORVELIN_BENCH)
  file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  if(bench_sources)
    find_package(benchmark REQUIRED)
    add_executable(bench_torvelin ${bench_sources})
    target_link_libraries(bench_torvelin PRIVATE tv_flavour_windowed tv_backend_headless torvelin benchmark::benchmark_main)
  endif()
endif()

# Fuzz targets: fuzz/<name>.cpp, each with a seed corpus in fuzz/corpus/<name>/.
# Each runs as the test fuzz_<name>; what it finds goes to fuzz-work/<name>/,
# the seeds stay as they are. tv_fuzzers builds them all.
if(TORVELIN_FUZZ)
  set(TORVELIN_FUZZ_SECONDS 20 CACHE STRING "How long each fuzz test runs")
  add_custom_target(tv_fuzzers)
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
  foreach(source ${fuzz_sources})
    get_filename_component(fuzz_name ${source} NAME_WE)
    add_executable(fuzz_${fuzz_name} ${source})
    target_compile_options(fuzz_${fuzz_name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${fuzz_name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${fuzz_name} PRIVATE tv_flavour_windowed tv_backend_headless torvelin)
    add_dependencies(tv_fuzzers fuzz_${fuzz_name})
    set(work ${CMAKE_BINARY_DIR}/fuzz-work/${fuzz_name})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME fuzz_${fuzz_name} COMMAND fuzz_${fuzz_name} -max_total_time=${TORVELIN_FUZZ_SECONDS}
      -print_final_stats=1 ${work} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${fuzz_name})
    set_tests_properties(fuzz_${fuzz_name} PROPERTIES LABELS fuzz)
  endforeach()
endif()
