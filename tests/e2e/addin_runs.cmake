# The real add-in in xllhost, as the spreadsheet host loads it: worksheet results, the C API
# calls of opening and removing it, and its use of host memory. The same files serve the native
# build (MENSORA.so) and the Windows build (MENSORA.xll under Wine), so that the traces of both
# are the same text. Included by this folder's CMakeLists.txt.
set(here ${CMAKE_CURRENT_SOURCE_DIR})
# The add-in's name as the host reports it, the same in every build, so traces can be compared.
set(addin_name "C:\\AddIns\\MENSORA.xll")
set(emulator_option)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(emulator_option --emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
set(xllhost_driver ${Python3_EXECUTABLE} ${here}/run_xllhost.py ${emulator_option})

# xllhost registers its automation model with COM. Under Wine the running object table and the
# class registry belong to the whole prefix, so two hosts at once would find each other's
# applications (and block on each other's calls): runs there take turns.
# A machine that cannot execute 32-bit programs reports such a run as not run (status 77).
function(addin_run_properties)
  set_tests_properties(${ARGN} PROPERTIES TIMEOUT 180)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK wine_host_automation
                                            SKIP_RETURN_CODE 77)
  endif()
endfunction()

# Runs xllhost on the add-in through the driver; the arguments before "--" go to the driver
# (what to expect), those after it to xllhost (before the add-in's path).
function(addin_run name)
  cmake_parse_arguments(PARSE_ARGV 1 run "" "" "EXPECT;OPTIONS;FORMULAS")
  add_test(NAME ${name}
           COMMAND ${xllhost_driver} ${run_EXPECT} --
                   $<TARGET_FILE:xllhost> ${run_OPTIONS} --name ${addin_name}
                   $<TARGET_FILE:mensora_addin> ${run_FORMULAS})
  # The first run under Wine may create the prefix, which takes a while.
  addin_run_properties(${name})
endfunction()

# Every worksheet edge case, through the functions as the host calls them, in a host of today
# (the version 12 functions) and in one of version 11 (the functions of every version, as
# before); nothing of the host's memory left behind. Each host also has a file of its own: texts
# beyond the code page and beyond 255 characters.
addin_run(addin_worksheet_edge_cases OPTIONS --leaks --check ${here}/worksheet.check)
addin_run(addin_worksheet_edge_cases_legacy_host
          OPTIONS --version 11 --leaks --check ${here}/worksheet.check
                  --check ${here}/legacy_host.check)
addin_run(addin_unicode OPTIONS --leaks --check ${here}/unicode.check)

# A formula on the command line prints its result alone.
addin_run(addin_formula_argument
          EXPECT --stdout ${here}/formula_argument.out
          FORMULAS "=Mensora(1,\"ft\",\"in\")" "=ShowCommonMetric(\"Btu\")" "=GasConst()")

# Opening registers the seven functions in ascending order of function text, with every
# argument; the add-in manager gets the title. A host of today takes them through Excel12, each
# marked thread-safe; a host of version 11 sees exactly what it saw before there was a version 12
# interface, as do the traces below that name --version 11.
set(open_calls xlfRegister,xlAutoOpen,xlAddInManagerInfo,xlAutoClose)
addin_run(addin_open_trace
          EXPECT --trace ${here}/open12.trace --calls ${open_calls}
          OPTIONS --trace --leaks)
addin_run(addin_open_trace_version_11
          EXPECT --trace ${here}/open.trace --calls ${open_calls}
          OPTIONS --trace --version 11 --leaks)
# A host before version 5 takes eight arguments per registration.
addin_run(addin_open_trace_old_host
          EXPECT --trace ${here}/open_old_host.trace --calls xlfRegister
          OPTIONS --trace --version 4.0 --leaks)
# The add-in switched off and on again in one process: the host drops its functions after
# xlAutoClose, and the next open registers them all anew, without starting the bridge a second
# time; the formulas work after any number of such opens, also after a removal.
addin_run(addin_second_open
          EXPECT --trace ${here}/second_open.trace
                 --calls xlfRegister,xlAutoOpen,xlAutoClose,xlcEcho,xlcNew
                 --after "^add-in: xlAutoOpen"
          OPTIONS --trace --version 11 --open 2 --leaks)
addin_run(addin_reopened
          EXPECT --stdout ${here}/formula_argument.out
          OPTIONS --open 3 --leaks
          FORMULAS "=Mensora(1,\"ft\",\"in\")" "=ShowCommonMetric(\"Btu\")" "=GasConst()")
addin_run(addin_removed_and_reopened
          EXPECT --stdout ${here}/formula_argument.out
          OPTIONS --open 2 --remove --leaks
          FORMULAS "=Mensora(1,\"ft\",\"in\")" "=ShowCommonMetric(\"Btu\")" "=GasConst()")
# Removal unregisters each id, deletes each name and leaves the hidden xlAutoRemove entries.
set(remove_calls xlfRegister,xlfUnregister,xlfSetName,xlAutoRemove,xlAutoClose)
addin_run(addin_remove_trace
          EXPECT --trace ${here}/remove12.trace --calls ${remove_calls}
                 --after "^add-in: xlAutoOpen"
          OPTIONS --trace --remove --leaks)
addin_run(addin_remove_trace_version_11
          EXPECT --trace ${here}/remove.trace --calls ${remove_calls}
                 --after "^add-in: xlAutoOpen"
          OPTIONS --trace --version 11 --remove --leaks)

# The automation bridge at open: the own host's application found as the active object with one
# probe, between echo off with a new workbook and its close with echo on; found through the
# running object table when the active object is another process's host, whose probe goes
# unanswered; and when nothing can be found, a silent failure that leaves the seven functions.
set(bridge_calls xlcEcho,xlcNew,xlcClose,xlCheckInstance,ExecuteExcel4Macro)
addin_run(addin_bridge_active
          EXPECT --trace ${here}/bridge_active.trace --calls ${bridge_calls}
          OPTIONS --trace --leaks)
addin_run(addin_bridge_running_table
          EXPECT --trace ${here}/bridge_running_table.trace --calls ${bridge_calls},xlfRegister
          OPTIONS --trace --version 11 --leaks --automation rot)
addin_run(addin_bridge_none
          EXPECT --trace ${here}/bridge_none.trace --calls ${bridge_calls},xlfRegister
                 --stdout ${here}/formula_argument.out
          OPTIONS --trace --version 11 --leaks --automation none
          FORMULAS "=Mensora(1,\"ft\",\"in\")" "=ShowCommonMetric(\"Btu\")" "=GasConst()")
# The host runs only the commands the add-in registered: the bridge's probe callback, once the
# bridge has found the host (and registered it as a command), answers 1; exports the add-in never
# registered as commands, such as xlAutoFree or the bridge's event entry points, are refused.
addin_run(addin_event_macros
          EXPECT --stdout ${here}/event_macros.out
          OPTIONS --leaks --run-macro xlCheckInstance)
addin_run(addin_event_macros_without_bridge
          EXPECT --status 1 --stderr-has "the add-in registered no command xlCheckInstance"
          OPTIONS --leaks --automation none --run-macro xlCheckInstance)
addin_run(xllhost_refuses_a_macro_the_addin_lacks
          EXPECT --status 1 --stderr-has "the add-in registered no command NoSuchMacro"
          OPTIONS --run-macro NoSuchMacro)
addin_run(xllhost_refuses_an_export_that_is_no_command
          EXPECT --status 1 --stderr-has "the add-in registered no command xlAutoFree"
                 --stderr-has "the add-in registered no command CXllComImpl_OnCalculate"
          OPTIONS --leaks --run-macro xlAutoFree --run-macro CXllComImpl_OnCalculate)

# The demo's table, as a new user first sees it.
addin_run(addin_demo_table
          EXPECT --stdout ${here}/demo.table
          OPTIONS --file ${PROJECT_SOURCE_DIR}/examples/demo)

# Many calls and many loads in one process: the host's memory all given back, the process's
# memory no larger after the last round (or cycle) than after the first, but for the host's own
# bookkeeping. The sanitizer build finds leaks itself, and its quarantine of freed memory makes
# the process grow, so there the growth is only reported.
set(busy_formulas "=Mensora(1,\"mi/hr\",\"m/s\")" "=ToMetric(1,\"Btu\")")
set(busy_expect --stdout-has "0.44704\n"
    --stdout-has "{1055.05585262,\"kg m^2 / s^2 \"}")
set(growth_limit)
if(NOT MENSORA_SANITIZE)
  set(growth_limit --max-growth 256)
endif()
addin_run(addin_repeated_calls
          EXPECT ${busy_expect} --stderr-has "200000 calls in"
          OPTIONS --leaks --repeat 100000 ${growth_limit}
          FORMULAS ${busy_formulas})
addin_run(addin_load_unload_cycles
          EXPECT ${busy_expect} --stderr-has "100 cycles in"
          OPTIONS --leaks --cycles 100 ${growth_limit}
          FORMULAS ${busy_formulas})

# Multithreaded recalculation: 100,000 formulas of every kind print the same on 8 calculation
# threads as on one; and 1,000 rounds, each on 8 threads of its own, leave no host memory and no
# thread's storage behind.
add_test(NAME addin_threads_agree
         COMMAND ${Python3_EXECUTABLE} ${here}/threads_agree.py --out ${CMAKE_CURRENT_BINARY_DIR}
                 ${emulator_option} -- $<TARGET_FILE:xllhost> --name ${addin_name}
                 $<TARGET_FILE:mensora_addin>)
addin_run_properties(addin_threads_agree)
set(round_formulas)
foreach(i RANGE 1 64)
  list(APPEND round_formulas "=Mensora(${i},\"mi/hr\",\"m/s\")")
endforeach()
addin_run(addin_threads_rounds
          EXPECT --stderr-has "64000 calls in"
          OPTIONS --threads 8 --repeat 1000 --leaks ${growth_limit}
          FORMULAS ${round_formulas})

# A formula on the command line of a host of today is UTF-8, whatever the system's code page.
addin_run(addin_unicode_argument
          EXPECT --stdout-has "1000\n"
          FORMULAS "=Mensora(1,\"kΩ\",\"Ω\")")

# Hostile input for every worksheet function, generated into the build folder: every byte inside
# a unit expression, texts of 255 to 1000 characters, the ends of the number range and the
# largest exponents. Each call gives a number or a text, and nothing of the host's memory stays.
# In a host of today and in one of version 11.
add_test(NAME addin_bad_input
         COMMAND ${Python3_EXECUTABLE} ${here}/bad_input.py --out ${CMAKE_CURRENT_BINARY_DIR}
                 ${emulator_option} -- $<TARGET_FILE:xllhost> --name ${addin_name}
                 $<TARGET_FILE:mensora_addin>)
add_test(NAME addin_bad_input_legacy_host
         COMMAND ${Python3_EXECUTABLE} ${here}/bad_input.py --out ${CMAKE_CURRENT_BINARY_DIR}
                 ${emulator_option} --legacy -- $<TARGET_FILE:xllhost> --name ${addin_name}
                 $<TARGET_FILE:mensora_addin>)
addin_run_properties(addin_bad_input addin_bad_input_legacy_host)

# The identities a cell must show digit for digit, both ways (1 week is 7 day, 7 day is 1 week);
# the unit tests hold the engine to the same table.
add_test(NAME addin_shown_identities
         COMMAND ${Python3_EXECUTABLE} ${here}/shown_identities.py
                 --identities ${PROJECT_SOURCE_DIR}/tests/units/identities.tsv
                 --out ${CMAKE_CURRENT_BINARY_DIR} ${emulator_option} --
                 $<TARGET_FILE:xllhost> --name ${addin_name} $<TARGET_FILE:mensora_addin>)
addin_run_properties(addin_shown_identities)

# xllhost itself: a failed check is reported and fails the run; what cannot be loaded or read
# gives its own status.
addin_run(xllhost_reports_a_failed_check
          EXPECT --status 1 --stdout-has "got 12, expected 13" --stdout-has "1 passed, 2 failed"
          OPTIONS --check ${here}/failing.check)
add_test(NAME xllhost_refuses_a_missing_addin
         COMMAND ${xllhost_driver} --status 3 --
                 $<TARGET_FILE:xllhost> ${CMAKE_CURRENT_BINARY_DIR}/absent.xll "=Grav()")
add_test(NAME xllhost_refuses_an_unknown_option
         COMMAND ${xllhost_driver} --status 2 --
                 $<TARGET_FILE:xllhost> --frobnicate $<TARGET_FILE:mensora_addin>)
add_test(NAME xllhost_refuses_a_missing_check_file
         COMMAND ${xllhost_driver} --status 2 --
                 $<TARGET_FILE:xllhost> --check ${CMAKE_CURRENT_BINARY_DIR}/absent.check
                 $<TARGET_FILE:mensora_addin>)
addin_run_properties(xllhost_refuses_a_missing_addin xllhost_refuses_an_unknown_option
                     xllhost_refuses_a_missing_check_file)
