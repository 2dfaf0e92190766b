# Host sessions: every session is played by vorn-host on the real module, through the same
# launcher as the unit tests.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/test_modules.cmake)
vorn_add_test_module(faulty_module faulty_module/faulty_module.cpp)

function(vorn_add_session name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "EXIT;INPUT" "ARGS;EXPECT;REJECT")
  if(NOT DEFINED arg_EXIT)
    set(arg_EXIT 0)
  endif()
  add_test(NAME session.${name}
    COMMAND ${CMAKE_COMMAND} "-DHOST=${VORN_TEST_LAUNCHER};${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>"
            "-DARGS=${arg_ARGS}" -DEXIT=${arg_EXIT} "-DEXPECT=${arg_EXPECT}" "-DREJECT=${arg_REJECT}"
            "-DINPUT=${arg_INPUT}" -P ${CMAKE_CURRENT_SOURCE_DIR}/sessions/run_session.cmake)
endfunction()

set(router_module $<TARGET_FILE:Router>)
file(GLOB router_sessions ${CMAKE_CURRENT_SOURCE_DIR}/sessions/*.session
                          ${PROJECT_SOURCE_DIR}/sessions/*.session)
foreach(session IN LISTS router_sessions)
  get_filename_component(name ${session} NAME_WE)
  vorn_add_session(${name} ARGS ${router_module} ${session})
endforeach()

set(typical_take ${PROJECT_SOURCE_DIR}/sessions/typical_take.session)
vorn_add_session(typical_take_with_path ARGS ${router_module} ${typical_take} --path panels --quiet
  EXIT 1 EXPECT "line 3: expected \"PS '1' 'p1.vorn_ui'\", received \"PS '1' 'panels/p1.vorn_ui'\"")
vorn_add_session(typical_take_on_three_instances ARGS ${router_module} ${typical_take} --instances 3
  EXPECT "\\[2\\] module > RC 12 7 3 ',' 0")
# One instance's lines carry no instance label.
vorn_add_session(typical_take_for_people ARGS ${router_module} ${typical_take}
  EXPECT "(^|\n)host   > load_vorn_client_script\\(path \"\"\\)\r?\nmodule > PS '1' 'p1.vorn_ui'")
vorn_add_session(typical_take_three_loads ARGS ${router_module} ${typical_take} --repeat 3 --quiet)
vorn_add_session(typical_take_as_json ARGS ${router_module} ${typical_take} --json
  EXPECT "\"clean\": true" "\"kind\": \"host\",[ \r\n]+\"instance\": 0,[ \r\n]+\"line\": 6,[ \r\n]+\"text\": \"request RouterDeviceNo=12\"" "\"kind\": \"module\",[ \r\n]+\"instance\": 0,[ \r\n]+\"line\": 0,[ \r\n]+\"text\": \"RC 12 7 3 ',' 0\""
         "\"kind\": \"answer\",[ \r\n]+\"instance\": 0,[ \r\n]+\"line\": 0,[ \r\n]+\"text\": \"\",[ \r\n]+\"null\": true")

set(failing ${CMAKE_CURRENT_SOURCE_DIR}/failing_sessions)
vorn_add_session(wrong_expect_names_line_expected_and_received EXIT 1
  ARGS ${router_module} ${failing}/wrong_expect.session
  EXPECT "FAILED line 4: expected \"TP 'device=13' '1' 'Destinations'\", received \"TP 'device=12' '1' 'Destinations'\"")
vorn_add_session(every_kind_of_wrong_expectation_is_reported EXIT 1
  ARGS ${router_module} ${failing}/wrong_expectations.session --quiet
  EXPECT "FAILED line 3: expected nothing, received \"TP 'device=12' '1' 'Sources'\""
         "FAILED line 5: expected answer null, received \"RouterDeviceNo=12\""
         "FAILED line 9: received \"TP 'index=0' '1' 'Sources'\" after the expected commands"
         "FAILED line 11: expected answer \"other\", received \"notify=\\*\""
         "FAILED line 15: expected \"TP 'device=13' '1' 'Extra'\", received nothing more")
vorn_add_session(session_with_a_record_code EXIT 2 ARGS ${router_module} ${failing}/record_code.session
  EXPECT "record_code.session: line 2: code 3 carries a record or a text: use event or request")
# What the module's commands did to the host's state: properties, the crosspoint, the timers.
vorn_add_session(typical_take_shows_the_state_it_made ARGS ${router_module} ${typical_take}
  EXPECT "\n  Sources index=0 device=12\r?\n" "\n  Destinations selected=0 device=12\r?\n"
         "crosspoints:\r?\n  device 12  destination 3  <- source 7" "timers running: none")
vorn_add_session(faulty_module_breaches_are_reported EXIT 1
  ARGS $<TARGET_FILE:faulty_module> ${failing}/contract_breaches.session --quiet
  EXPECT "BREACH reply-handed-back-twice at line 2" "BREACH reply-never-handed-back: .*TG '1' 'Sources' 'index'"
         "BREACH unknown-hand-back at line 4" "BREACH command-not-one-line at line 5"
         "BREACH unbalanced-quotes at line 6" "BREACH unknown-command at line 7"
         "BREACH malformed-command at line 8" "BREACH answer-returned-twice at line 10"
         "BREACH answer-not-module-owned at line 11" "BREACH non-null-return at line 12"
         "BREACH command-after-detach at line 17" "BREACH detach-twice at line 18"
         "WARNING field-contains-apostrophe at line 14" "WARNING control-not-on-panel at line 15"
         "WARNING slow-callback at line 16: request slow took [0-9]+ ms")
vorn_add_session(rule_severities_are_set_on_the_command_line EXIT 1
  ARGS $<TARGET_FILE:faulty_module> ${failing}/contract_breaches.session --quiet
       --rule unknown-command=ignore --rule reply-handed-back-twice=warning
       --rule control-not-on-panel=error
  EXPECT "WARNING reply-handed-back-twice at line 2" "BREACH control-not-on-panel at line 15")
vorn_add_session(unknown_rule_is_unusable EXIT 2 ARGS ${router_module} ${typical_take} --rule no-such-rule=error
  EXPECT "no rule named no-such-rule")
vorn_add_session(rules_are_listed ARGS rules
  EXPECT "control-not-on-panel  warning" "field-contains-apostrophe  warning" "slow-callback  warning"
         "detach-missing  error")
vorn_add_session(faulty_module_detach_missing EXIT 1
  ARGS $<TARGET_FILE:faulty_module> ${failing}/detach_missing.session
  EXPECT "BREACH detach-missing at line 2")
vorn_add_session(session_with_unknown_action EXIT 2
  ARGS ${router_module} ${failing}/unknown_action.session
  EXPECT "unknown_action.session: line 2: unknown action \"press\"")
vorn_add_session(session_with_missing_fields EXIT 2
  ARGS ${router_module} ${failing}/missing_fields.session
  EXPECT "missing_fields.session: line 1: expected: event PANEL CONTROL")
vorn_add_session(binary_session EXIT 2
  ARGS ${router_module} ${failing}/binary.session EXPECT "binary.session: line 2: not a line of text")
vorn_add_session(missing_session_file EXIT 2
  ARGS ${router_module} ${failing}/no_such.session EXPECT "no_such.session: cannot read")
vorn_add_session(module_that_does_not_load EXIT 2
  ARGS ${failing}/wrong_expect.session ${typical_take} EXPECT "wrong_expect.session: .+")
vorn_add_session(module_without_factory EXIT 2
  ARGS $<TARGET_FILE:vorn_string> ${typical_take} EXPECT "no export named load_vorn_client_script")
# Actions read from a file, not typed at a terminal, get no prompt.
vorn_add_session(actions_from_standard_input_go_on_after_a_bad_line EXIT 1
  ARGS ${router_module} INPUT ${failing}/typed_actions.txt
  EXPECT "line 2: unknown action \"bogus\"" "module > RC 5 1 2 ',' 0"
         "FAILED line 7: expected answer \"RouterDeviceNo=9\", received \"RouterDeviceNo=5\""
  REJECT "vorn-host> ")
# The command line's rules, and its help, which is no failure.
vorn_add_session(unusable_arguments EXIT 2 ARGS --instances EXPECT "--instances: 1 required")
vorn_add_session(help_ends_clean ARGS --help EXPECT "Usage: vorn-host" "validate +run the named checks"
  "Exit status: 0 clean")
vorn_add_session(quiet_excludes_json EXIT 2 ARGS ${router_module} --quiet --json EXPECT "--quiet excludes --json")
vorn_add_session(token_file_needs_web EXIT 2 ARGS ${router_module} --web-token-file t EXPECT "--web-token-file requires --web")
get_property(web_view GLOBAL PROPERTY VORN_WEB_VIEW)
if(web_view)
  # A token file that cannot be read ends the run before anything listens.
  vorn_add_session(web_token_file_unreadable EXIT 2
    ARGS ${router_module} ${typical_take} --quiet --web 127.0.0.1:0 --web-token-file ${CMAKE_CURRENT_BINARY_DIR}/no_such_token
    EXPECT "vorn-host: --web-token-file [^\n]*no_such_token: cannot read a token")
endif()
vorn_add_session(repeat_needs_a_session EXIT 2 ARGS ${router_module} --repeat 2 EXPECT "--repeat: needs a session file")
vorn_add_session(validate_needs_a_module EXIT 2 ARGS validate EXPECT "module is required")
# The version comes from the project, as the module's version resource and the release zip's
# name do.
vorn_add_session(version ARGS --version EXPECT "(^|\n)vorn-host ${PROJECT_VERSION}\r?\n")

# vorn-host validate: every check passes on Router, on every platform. On Windows its
# allocations are watched through the DLL's import table, and its exports read from the export
# table; on 32-bit Windows a failed allocation in the string library's DLL comes back to the
# module as a status and is raised inside the module's own frames.
vorn_add_session(validate_router ARGS validate ${router_module} --timeout ${VORN_CHECK_TIMEOUT_MS}
  EXPECT "PASS exports-only-factory" "PASS allocation-failure: [^\n]*\\(11 allocation points"
         "13 checks: 13 passed, 0 failed, 0 skipped")
vorn_add_session(validate_list ARGS validate --list EXPECT "instances-separate" "random-session")
# The string library exports its classes and no factory: read from a DLL's export table on
# Windows, from the dynamic symbols elsewhere.
vorn_add_session(validate_reads_a_library_s_exports EXIT 1
  ARGS validate $<TARGET_FILE:vorn_string> --include exports-only-factory
  EXPECT "FAIL exports-only-factory: .*no export named load_vorn_client_script")
vorn_add_session(validate_unknown_check EXIT 2 ARGS validate ${router_module} --include no-such-check
  EXPECT "no check named no-such-check")

# The one-flaw modules (tests/faulty_module/one_flaw_module.cpp): words of their own, and one
# flaw each, chosen with a definition.
function(vorn_add_one_flaw_module name)
  vorn_add_test_module(${name} faulty_module/one_flaw_module.cpp UNLOADABLE
    PANEL ${CMAKE_CURRENT_SOURCE_DIR}/faulty_module/f3.vorn_ui)
  target_compile_definitions(${name} PRIVATE ${ARGN})
  # The entry point a script author's module links (vorn_add_script_module), which gives back
  # what the runtime made when the DLL is unloaded: load-unload sees everything a DLL allocates.
  if(WIN32)
    target_link_libraries(${name} PRIVATE vorn::library_entry)
  else()
    # An unoptimised build would export the standard library's instantiations.
    target_link_options(${name} PRIVATE "LINKER:--version-script=${CMAKE_CURRENT_SOURCE_DIR}/faulty_module/one_flaw_exports.map")
  endif()
endfunction()

# On a module with deliberate faults each fault fails its own check, and every other check
# still runs and passes: the crash on code 6 ends only the checks that make that call.
if(NOT WIN32)
  vorn_add_test_module(faulty_checks faulty_module/faulty_checks.cpp UNLOADABLE PANEL ${PROJECT_SOURCE_DIR}/router/p1.vorn_ui)
  set(faulty_checks_module $<TARGET_FILE:faulty_checks>)
  vorn_add_session(validate_faults_fail_their_own_checks EXIT 1
    ARGS validate ${faulty_checks_module} --seed 7 --timeout ${VORN_CHECK_TIMEOUT_MS}
    EXPECT "PASS module-loads" "FAIL exports-only-factory: .*faulty_checks_extra_export"
           "PASS factory-paths" "PASS delete-after-create" "FAIL callback-codes: .*(signal 11|without a result)"
           "PASS control-event-texts" "PASS request-texts" "FAIL answers-freed: .*blocks"
           "FAIL instances-separate: .*instance 0 sent \"RC 1 31 " "PASS load-unload"
           "13 checks: [0-9]+ passed, [0-9]+ failed")
endif()

# Modules with words of their own, one flaw each: each fails exactly its own check, and the
# same module built without a flaw, answering with new[] or with malloc, passes every check. On
# Windows too: there each check runs in a vorn-host process of its own, so the crash fails its
# check alone, named by its exception code, and the module's allocations are watched through
# its import table, rewritten as the loader maps the DLL, before its entry point runs.
set(one_flaw_checks
  shared_state=instances-separate leaked_answers=answers-freed leaked_malloc_answers=answers-freed
  crash=callback-codes extra_export=exports-only-factory slow=quick-callbacks
  unchecked_fallback=allocation-failure unchecked_event_text=control-event-texts
  breach_when_short=allocation-failure load_static=load-unload)
vorn_add_one_flaw_module(no_flaw_module)
vorn_add_one_flaw_module(no_flaw_malloc_module VORN_ANSWERS_WITH_MALLOC)
foreach(module IN ITEMS no_flaw_module no_flaw_malloc_module)
  vorn_add_session(validate_${module}_passes_every_check
    ARGS validate $<TARGET_FILE:${module}> --timeout ${VORN_CHECK_TIMEOUT_MS}
    EXPECT "PASS instances-separate" "13 checks: 13 passed, 0 failed, 0 skipped")
endforeach()
foreach(pair IN LISTS one_flaw_checks)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 flaw)
  list(GET pair 1 check)
  string(TOUPPER "VORN_FLAW_${flaw}" definition)
  if(flaw STREQUAL "leaked_malloc_answers")
    set(definition VORN_FLAW_LEAKED_ANSWERS VORN_ANSWERS_WITH_MALLOC)
  elseif(flaw STREQUAL "unchecked_fallback" OR flaw STREQUAL "breach_when_short")
    list(APPEND definition VORN_ANSWERS_WITH_MALLOC)
  endif()
  vorn_add_one_flaw_module(${flaw}_module ${definition})
  # What each flaw's check says, where the words matter.
  set(reason "")
  if(flaw STREQUAL "load_static")
    set(reason ".*99 blocks were left behind by 99 loads after the first")
  elseif(flaw STREQUAL "breach_when_short")
    set(reason ".*BREACH malformed-command")
  elseif(flaw STREQUAL "crash" AND WIN32)
    set(reason ".*exception 0xC0000005 \\(access violation\\)")
  endif()
  vorn_add_session(validate_${flaw}_fails_only_${check} EXIT 1
    ARGS validate $<TARGET_FILE:${flaw}_module> --timeout ${VORN_CHECK_TIMEOUT_MS}
    EXPECT "FAIL ${check}: ${reason}" "13 checks: 12 passed, 1 failed, 0 skipped")
endforeach()

# A factory that makes no script leaves the checks nothing to exercise: each that drives a
# script fails saying so, none passes.
vorn_add_one_flaw_module(no_script_module VORN_FLAW_NO_SCRIPT)
vorn_add_session(validate_a_module_that_makes_no_script EXIT 1
  ARGS validate $<TARGET_FILE:no_script_module> --timeout ${VORN_CHECK_TIMEOUT_MS}
  EXPECT "FAIL factory-paths: .*the factory made no script for an empty path"
         "FAIL delete-after-create: .*the factory made no script" "FAIL callback-codes: .*the factory made no script"
         "FAIL control-event-texts: .*the factory made no script" "FAIL request-texts: .*the factory made no script"
         "FAIL answers-freed: .*the factory made no script" "FAIL allocation-failure: .*the factory made no script"
         "FAIL load-unload: .*load 1: the factory made no script" "FAIL quick-callbacks: .*the factory made no script"
         "FAIL random-session: .*the factory returned no script"
         "13 checks: 2 passed, 10 failed, 1 skipped")

# A module that stays in the process after its last unload keeps its statics for the next
# load: load-unload says so. Only GCC makes the GNU unique symbol that keeps it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
  vorn_add_one_flaw_module(stays_loaded_module VORN_FLAW_STAYS_LOADED)
  target_compile_options(stays_loaded_module PRIVATE -fgnu-unique)
  vorn_add_session(validate_a_module_that_stays_loaded EXIT 1
    ARGS validate $<TARGET_FILE:stays_loaded_module> --include load-unload --timeout ${VORN_CHECK_TIMEOUT_MS}
    EXPECT "FAIL load-unload: .*the module stays in the process after it is unloaded")
endif()

# A script that never sends AS breaks the contract when it is deleted: every check that deletes
# a script, in the middle of its run or at its end, reports it.
vorn_add_one_flaw_module(no_detach_module VORN_FLAW_NO_DETACH)
set(no_detach_expect "")
foreach(check IN ITEMS factory-paths delete-after-create callback-codes control-event-texts request-texts
                       answers-freed load-unload quick-callbacks random-session)
  list(APPEND no_detach_expect "FAIL ${check}: .*detach-missing")
endforeach()
vorn_add_session(validate_a_module_that_never_detaches EXIT 1
  ARGS validate $<TARGET_FILE:no_detach_module> --timeout ${VORN_CHECK_TIMEOUT_MS} EXPECT ${no_detach_expect})

# An answer to a call that returns null is a breach that the checks calling it directly report.
vorn_add_one_flaw_module(timer_answer_module VORN_FLAW_TIMER_ANSWER)
vorn_add_session(validate_a_module_that_answers_timers EXIT 1
  ARGS validate $<TARGET_FILE:timer_answer_module> --include callback-codes,quick-callbacks
       --timeout ${VORN_CHECK_TIMEOUT_MS}
  EXPECT "FAIL callback-codes: .*non-null-return" "FAIL quick-callbacks: .*non-null-return")
# A random session that fails is cut down to the shortest part that still fails: this seed's
# session answers a timer in its first timer line, and that line alone is what is reported.
vorn_add_session(validate_reports_the_shortest_random_session_that_fails EXIT 1
  ARGS validate $<TARGET_FILE:timer_answer_module> --include random-session --seed 5 --json
       --timeout ${VORN_CHECK_TIMEOUT_MS}
  EXPECT "\"reason\": \"seed 5: BREACH non-null-return at line 1: timer 0\"" "\"session\": \"timer 0\\\\n\",")

if(NOT WIN32)
  # A file that is no module fails every check that loads it, each with the loader's reason.
  vorn_add_session(validate_a_file_that_is_no_module EXIT 1
    ARGS validate ${PROJECT_SOURCE_DIR}/router/p1.vorn_ui --timeout ${VORN_CHECK_TIMEOUT_MS}
    EXPECT "FAIL module-loads: .*(invalid ELF header|file too short)"
           "FAIL answers-freed: .*(invalid ELF header|file too short)"
           "FAIL allocation-failure: .*(invalid ELF header|file too short)"
           "FAIL load-unload: .*load 1: .*(invalid ELF header|file too short)"
           "FAIL quick-callbacks: .*(invalid ELF header|file too short)")

  # A check that never ends is stopped: on the processor time it uses when it computes, and on
  # the wall clock (ten times the limit) when it only waits.
  foreach(hang IN ITEMS spinning waiting)
    vorn_add_test_module(${hang}_module faulty_module/hanging_module.cpp)
  endforeach()
  target_compile_definitions(waiting_module PRIVATE VORN_HANG_BY_WAITING)
  vorn_add_session(validate_ends_a_computing_check_on_its_processor_time EXIT 1
    ARGS validate $<TARGET_FILE:spinning_module> --include callback-codes --timeout 300
    EXPECT "FAIL callback-codes: .*timed out: used more than 300 ms of processor time")
  # A check with nothing to exercise says so instead of passing.
  vorn_add_session(validate_skips_a_check_with_nothing_to_exercise
    ARGS validate $<TARGET_FILE:spinning_module> --include instances-separate
    EXPECT "SKIP instances-separate: .*control events not exercised" "1 checks: 0 passed, 0 failed, 1 skipped")
  vorn_add_session(validate_ends_a_waiting_check_on_the_wall_clock EXIT 1
    ARGS validate $<TARGET_FILE:waiting_module> --include callback-codes --timeout 200
    EXPECT "FAIL callback-codes: .*timed out: still waiting after 2000 ms")

  add_test(NAME validate_seed_replays_and_the_session_reproduces
    COMMAND ${CMAKE_COMMAND} "-DHOST=${VORN_TEST_LAUNCHER};${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>"
            -DMODULE=${faulty_checks_module} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/validate_replay
            -DTIMEOUT=${VORN_CHECK_TIMEOUT_MS}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/sessions/validate_replay.cmake)
  find_program(VORN_PYTHON NAMES python3)
  if(VORN_PYTHON)
    add_test(NAME validate_junit_names_every_check
      COMMAND ${CMAKE_COMMAND} "-DHOST=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>"
              -DMODULE=${faulty_checks_module} -DTIMEOUT=${VORN_CHECK_TIMEOUT_MS}
              -DSKIPPING_MODULE=$<TARGET_FILE:spinning_module>
              -DPYTHON=${VORN_PYTHON} -DJUNIT=${CMAKE_CURRENT_BINARY_DIR}/validate.junit.xml
              -P ${CMAKE_CURRENT_SOURCE_DIR}/sessions/validate_junit.cmake)
  endif()
endif()

# Sessions that write themselves: --update and --record.
add_test(NAME session_update_and_record
  COMMAND ${CMAKE_COMMAND} "-DHOST=${VORN_TEST_LAUNCHER};${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:vorn-host>"
          -DMODULE=${router_module} -DSESSION=${typical_take} -DTYPED=${CMAKE_CURRENT_SOURCE_DIR}/sessions/typed_take.txt
          -DWORK=${CMAKE_CURRENT_BINARY_DIR}/session_writing -P ${CMAKE_CURRENT_SOURCE_DIR}/sessions/session_writing.cmake)
