# quillowby_add_test(<executable target> [NEEDS_DISPLAY] [TIMEOUT <seconds>] [NAME <test name>]
#                    [ENVIRONMENT <variable=value>...] [ARGS <arg>...])
#
# Registers one test executable as one CTest test, named after it unless NAME names it (so
# that a program can run twice, in another environment). In the Windows build CTest starts
# it through the cross-compiling emulator (scripts/wine-run.sh), so it runs under Wine.
#
# NEEDS_DISPLAY marks a test that opens windows: it gets the label "display", never runs
# beside another such test, and sees QUILLOWBY_TEST_DISPLAY as DISPLAY when that is set;
# otherwise it inherits DISPLAY from whoever runs CTest (scripts/test.sh starts Xvfb).
set(QUILLOWBY_TEST_DISPLAY "" CACHE STRING "X display for tests that open windows; empty: inherit DISPLAY")

function(quillowby_add_test target)
  cmake_parse_arguments(PARSE_ARGV 1 opt "NEEDS_DISPLAY" "TIMEOUT;NAME" "ENVIRONMENT;ARGS")
  if(NOT opt_TIMEOUT)
    set(opt_TIMEOUT 300)
  endif()
  if(NOT opt_NAME)
    set(opt_NAME ${target})
  endif()
  add_test(NAME ${opt_NAME} COMMAND ${target} ${opt_ARGS})

  set(environment ${opt_ENVIRONMENT})
  if(QUILLOWBY_SANITIZE)
    list(APPEND environment
      "ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  if(opt_NEEDS_DISPLAY)
    set_tests_properties(${opt_NAME} PROPERTIES LABELS display RESOURCE_LOCK x-display)
    if(QUILLOWBY_TEST_DISPLAY)
      list(APPEND environment "DISPLAY=${QUILLOWBY_TEST_DISPLAY}")
    endif()
  endif()
  set_tests_properties(${opt_NAME} PROPERTIES TIMEOUT ${opt_TIMEOUT})
  if(environment)
    set_tests_properties(${opt_NAME} PROPERTIES ENVIRONMENT "${environment}")
  endif()
endfunction()
