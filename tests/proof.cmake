# Proof of the whole program beside the unit tests, each kind under its label (ctest -L fuzz -V):
#   e2e       the installed program on a private desktop (tests/e2e); sound: its time signal recorded
#   sanitize  the core tests built again with ASan and UBSan, zero reports
#   fuzz      libFuzzer on every reader of a file from outside (fuzz/)
#   kill      SIGKILL at random moments while every file is being saved
#   quiet     `make run`'s build made afresh, its log free of warnings
# The CPU cost of the running clock is measured by scripts/measure-cpu.

# ---------------------------------------------------------------- e2e
if(VEMAR_UI)
  # Debian's own python3, for its gi bindings to the accessibility tree.
  set(VEMAR_SYSTEM_PYTHON /usr/bin/python3 CACHE FILEPATH "The python3 of the end-to-end tests")
  set(E2E_DIR ${CMAKE_BINARY_DIR}/e2e)
  set(E2E ${VEMAR_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e)
  set(INSTALLED --program ${E2E_DIR}/install/bin/vemar --data ${E2E_DIR}/install/share/vemar --out ${E2E_DIR})
  # A fresh prefix each time: files an older build installed must not linger.
  add_test(NAME e2e.install
           COMMAND sh -c "rm -rf '${E2E_DIR}/install' && '${CMAKE_COMMAND}' --install '${CMAKE_BINARY_DIR}' --prefix '${E2E_DIR}/install'")
  add_test(NAME e2e.desktop_files COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/check-desktop-files ${E2E_DIR}/install)
  foreach(scenario first_start midnight_month_end noon_date_lines page2_saved_scheme end_on_signals display_lost
                   wayland_compositor_lost second_instance start_errors other_user killed_early new_user_sydney
                   new_user_new_york new_user_tokyo new_user_kolkata new_user_kathmandu new_user_santiago new_user_rome
                   new_user_us_eastern travelling_laptop)
    add_test(NAME e2e.${scenario} COMMAND ${E2E}/scenarios.py ${scenario} ${INSTALLED})
  endforeach()
  foreach(scenario time_signal_and_info without_sound_server)
    add_test(NAME e2e.${scenario} COMMAND ${E2E}/sound.py ${scenario} ${INSTALLED})
  endforeach()
  # The program as built, from the build tree: its first start in an empty home.
  add_test(NAME e2e.build_tree_first_start COMMAND ${E2E}/scenarios.py build_tree_first_start
                                                   --program ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_BINDIR}/vemar
                                                   --data ${CMAKE_CURRENT_SOURCE_DIR}/data --out ${E2E_DIR})
  # Every window through a screen reader's view and from the keyboard alone.
  add_test(NAME e2e.keyboard_and_screen_reader COMMAND ${E2E}/access.py keyboard_and_screen_reader ${INSTALLED})
  # In a mount namespace (root only), through the snapshot tool: without tzdata, the zone database hidden;
  # on a full disk, a 64 KiB file system.
  foreach(scenario without_tzdata full_disk)
    add_test(NAME e2e.${scenario} COMMAND ${E2E}/scenarios.py ${scenario} --program $<TARGET_FILE:vemar-snapshot>
                                          --data ${CMAKE_CURRENT_SOURCE_DIR}/data --out ${E2E_DIR})
  endforeach()
  get_property(e2e_tests DIRECTORY PROPERTY TESTS)
  list(FILTER e2e_tests INCLUDE REGEX "^e2e\\.")
  set_tests_properties(${e2e_tests} PROPERTIES FIXTURES_REQUIRED e2e_installed TIMEOUT 90 SKIP_RETURN_CODE 77 LABELS e2e)
  set_tests_properties(e2e.install PROPERTIES FIXTURES_REQUIRED "" FIXTURES_SETUP e2e_installed)
  set_tests_properties(e2e.time_signal_and_info e2e.without_sound_server PROPERTIES LABELS "e2e;sound")
  # killed_early: 50 SIGTERMs in the start, about a minute; -DVEMAR_START_KILLS=200 for more.
  set(VEMAR_START_KILLS 50 CACHE STRING "Starts that e2e.killed_early ends with SIGTERM")
  math(EXPR start_kills_timeout "60 + 3 * ${VEMAR_START_KILLS}")
  set_tests_properties(e2e.killed_early PROPERTIES TIMEOUT ${start_kills_timeout}
                       ENVIRONMENT "VEMAR_START_KILLS=${VEMAR_START_KILLS}")
endif()

# ---------------------------------------------------------------- quiet
# `make run`'s own Release build, made afresh: GCC at -O3 warns where the test build's -O2 does not.
if(VEMAR_UI)
  set(QUIET_DIR ${CMAKE_BINARY_DIR}/quiet-run)
  add_test(NAME quiet.run_build
           COMMAND sh -c "rm -rf \"$0\" && env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL \
                          make -C \"$1\" run-build RUN_BUILD=\"$0\" >\"$0.log\" 2>&1; status=$?; \
                          cat \"$0.log\"; ! grep -qi warning \"$0.log\" && exit $status"
                   ${QUIET_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(quiet.run_build PROPERTIES LABELS quiet TIMEOUT 600)
endif()

# ---------------------------------------------------------------- sanitize
# The core tests built again with -DVEMAR_SANITIZE=ON, unless this build is sanitized already.
if(NOT VEMAR_SANITIZE)
  set(SANITIZE_DIR ${CMAKE_BINARY_DIR}/sanitize)
  add_test(NAME sanitize.configure
           COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_SOURCE_DIR} -B ${SANITIZE_DIR} -G Ninja
                   -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER} -DCMAKE_BUILD_TYPE=Debug
                   -DVEMAR_SANITIZE=ON -DVEMAR_UI=OFF -DVEMAR_BENCH=OFF -DVEMAR_WERROR=${VEMAR_WERROR})
  add_test(NAME sanitize.build COMMAND ${CMAKE_COMMAND} --build ${SANITIZE_DIR} --target core_tests -j 2)
  # The whole-year comparisons run unsanitized; one home in each mode walks the same code here.
  set(sanitize_skipped YearLong.*)
  foreach(home NewYork Tokyo NuovaDelhi Sydney BuenosAires Johannesburg Auckland Santiago)
    list(APPEND sanitize_skipped Homes/RealWorld.*/${home})
  endforeach()
  foreach(home Roma NewYork Tokyo NuovaDelhi BuenosAires Johannesburg Auckland Santiago Casablanca Dublino Troll Romaa9)
    list(APPEND sanitize_skipped Homes/DatabaseMode.*/${home})
  endforeach()
  list(JOIN sanitize_skipped ":" sanitize_skipped)
  add_test(NAME sanitize.core_tests COMMAND ${SANITIZE_DIR}/core_tests --gtest_brief=1 --gtest_filter=-${sanitize_skipped})
  set_tests_properties(sanitize.configure PROPERTIES FIXTURES_SETUP sanitize_configured LABELS sanitize)
  set_tests_properties(sanitize.build PROPERTIES FIXTURES_REQUIRED sanitize_configured
                       FIXTURES_SETUP sanitize_built LABELS sanitize TIMEOUT 600)
  set_tests_properties(sanitize.core_tests PROPERTIES FIXTURES_REQUIRED sanitize_built LABELS sanitize
                       ENVIRONMENT "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1;UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endif()

# ---------------------------------------------------------------- fuzz
# Built with clang in a project of its own; each target runs 20 s, two at a time.
set(FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
add_test(NAME fuzz.configure
         COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_SOURCE_DIR}/fuzz -B ${FUZZ_DIR} -G Ninja
                 -DCMAKE_CXX_COMPILER=clang++)
add_test(NAME fuzz.build COMMAND ${CMAKE_COMMAND} --build ${FUZZ_DIR} -j 2)
add_test(NAME fuzz.run COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run-fuzzers ${FUZZ_DIR} 20 2)
set_tests_properties(fuzz.configure PROPERTIES FIXTURES_SETUP fuzz_configured LABELS fuzz)
set_tests_properties(fuzz.build PROPERTIES FIXTURES_REQUIRED fuzz_configured FIXTURES_SETUP fuzz_built
                     LABELS fuzz TIMEOUT 600)
set_tests_properties(fuzz.run PROPERTIES FIXTURES_REQUIRED fuzz_built LABELS fuzz TIMEOUT 300)

# ---------------------------------------------------------------- kill
add_executable(crash_safety tests/kill/crash_safety.cpp)
target_link_libraries(crash_safety PRIVATE vemar_core)
target_compile_definitions(crash_safety PRIVATE VEMAR_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
add_test(NAME kill.crash_safety COMMAND crash_safety ${CMAKE_BINARY_DIR}/kill 500)
set_tests_properties(kill.crash_safety PROPERTIES LABELS kill TIMEOUT 120)
