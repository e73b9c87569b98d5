# Windows programs run under Wine: every test gets a fresh copy of one template prefix, its own
# wineserver and, for GUI tests, its own Xvfb (tools/wine/wine-run.sh), so tests can run in
# parallel and leave nothing behind.
set(KESTORAL_WINE_TOOLS ${CMAKE_SOURCE_DIR}/tools/wine)
set(KESTORAL_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine/template)
set(KESTORAL_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
# The prefix architecture follows the build's: 64-bit programs need a 64-bit prefix (and Wine's
# 64-bit loader), 32-bit ones a 32-bit prefix, where they run as on 32-bit Windows.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KESTORAL_WINE_ARCH win64)
else()
  set(KESTORAL_WINE_ARCH win32)
endif()
set(KESTORAL_WINE_ENV KESTORAL_WINE_ARCH=${KESTORAL_WINE_ARCH})

# Debian's interpreter, not whatever python3 comes first in PATH.
find_program(KESTORAL_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT KESTORAL_PYTHON3)
  find_program(KESTORAL_PYTHON3 NAMES python3 REQUIRED)
endif()

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${KESTORAL_WINE_ENV}
    ${KESTORAL_WINE_TOOLS}/wine-run.sh --template ${KESTORAL_WINE_TEMPLATE})

# The template prefix: made by the first test run (a fixture every Wine test requires) or
# beforehand with `cmake --build <dir> --target wine-template`. Making it takes seconds; once it
# exists both are no-ops.
add_custom_target(wine-template
  COMMAND ${CMAKE_COMMAND} -E env ${KESTORAL_WINE_ENV}
    ${KESTORAL_WINE_TOOLS}/make-template-prefix.sh ${KESTORAL_WINE_TEMPLATE}
  USES_TERMINAL)
add_test(NAME wine.template_prefix
  COMMAND ${KESTORAL_WINE_TOOLS}/make-template-prefix.sh ${KESTORAL_WINE_TEMPLATE})
set_tests_properties(wine.template_prefix PROPERTIES FIXTURES_SETUP kestoral_wine TIMEOUT 300
  ENVIRONMENT "${KESTORAL_WINE_ENV}")

# Seconds a test gets from ctest beyond its own timeout, for the clean-up after a kill.
set(KESTORAL_WINE_CLEANUP_MARGIN 30)

# kestoral_add_wine_test(NAME name COMMAND target [args...] [GUI] [WIN98] [TIMEOUT s]
#                        [DLLOVERRIDES mpr=n,b ...] [ENVIRONMENT VAR=value ...])
# One ctest test running a Windows program (a GoogleTest program is one test). GUI gives it a
# private Xvfb; WIN98 makes Wine report Windows 98; DLLOVERRIDES entries go to WINEDLLOVERRIDES.
function(kestoral_add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "GUI;WIN98" "NAME;TIMEOUT" "COMMAND;DLLOVERRIDES;ENVIRONMENT")
  if(NOT arg_NAME OR NOT arg_COMMAND)
    message(FATAL_ERROR "kestoral_add_wine_test: NAME and COMMAND are required")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  set(env KESTORAL_WINE_TIMEOUT=${arg_TIMEOUT} ${KESTORAL_WINE_ENV} ${arg_ENVIRONMENT})
  if(arg_GUI)
    list(APPEND env KESTORAL_WINE_GUI=1)
  endif()
  if(arg_WIN98)
    list(APPEND env KESTORAL_WINE_VERSION=win98)
  endif()
  if(arg_DLLOVERRIDES)
    # Space-separated here: a semicolon would split the CMake list.
    string(JOIN " " overrides ${arg_DLLOVERRIDES})
    list(APPEND env "KESTORAL_WINE_DLLOVERRIDES=${overrides}")
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
  math(EXPR ctest_timeout "${arg_TIMEOUT} + ${KESTORAL_WINE_CLEANUP_MARGIN}")
  set_tests_properties(${arg_NAME} PROPERTIES
    TIMEOUT ${ctest_timeout}
    ENVIRONMENT "${env}"
    FIXTURES_REQUIRED kestoral_wine
    LABELS wine)
endfunction()

# kestoral_add_e2e_test(NAME name SCRIPT file.py [TIMEOUT s] [DEPENDS targets...])
# One ctest test running a Python unittest script with tests/harness/kestoral_harness.py on its
# path. The script finds the programs through KESTORAL_BIN_DIR and the template prefix through
# KESTORAL_WINE_TEMPLATE; the harness ends the script itself at the timeout, so its sessions
# clean up before ctest would kill it.
add_custom_target(kestoral_e2e_programs ALL)
function(kestoral_add_e2e_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;SCRIPT;TIMEOUT" "DEPENDS")
  if(NOT arg_NAME OR NOT arg_SCRIPT)
    message(FATAL_ERROR "kestoral_add_e2e_test: NAME and SCRIPT are required")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  get_filename_component(script ${arg_SCRIPT} ABSOLUTE)
  add_test(NAME ${arg_NAME} COMMAND ${KESTORAL_PYTHON3} -u ${script})
  set(required)
  foreach(target IN LISTS arg_DEPENDS)
    add_dependencies(kestoral_e2e_programs ${target})
    list(APPEND required $<TARGET_FILE:${target}>)
  endforeach()
  math(EXPR ctest_timeout "${arg_TIMEOUT} + ${KESTORAL_WINE_CLEANUP_MARGIN}")
  set_tests_properties(${arg_NAME} PROPERTIES
    TIMEOUT ${ctest_timeout}
    REQUIRED_FILES "${required}"
    FIXTURES_REQUIRED kestoral_wine
    LABELS "wine;e2e"
    ENVIRONMENT "${KESTORAL_WINE_ENV};KESTORAL_BIN_DIR=${KESTORAL_BIN_DIR};KESTORAL_WINE_TEMPLATE=${KESTORAL_WINE_TEMPLATE};KESTORAL_WINE_TOOLS=${KESTORAL_WINE_TOOLS};KESTORAL_TEST_TIMEOUT=${arg_TIMEOUT};PYTHONPATH=${CMAKE_SOURCE_DIR}/tests/harness;PYTHONDONTWRITEBYTECODE=1")
endfunction()
