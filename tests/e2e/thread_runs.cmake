# The add-in in the native xllhost on 8 calculation threads, for the ThreadSanitizer build: every
# kind of formula, each round on threads of its own, the same output as on one thread; a data
# race fails the run. Included by tests/CMakeLists.txt in that build only.
set(here ${CMAKE_CURRENT_LIST_DIR})
add_test(NAME addin_threads_sanitized
         COMMAND ${Python3_EXECUTABLE} ${here}/threads_agree.py --count 20000 --threads 8
                 --out ${CMAKE_CURRENT_BINARY_DIR} --
                 $<TARGET_FILE:xllhost> --repeat 3 $<TARGET_FILE:mensora_addin>)
set_tests_properties(addin_threads_sanitized PROPERTIES TIMEOUT 600
                     ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1 exitcode=66")
