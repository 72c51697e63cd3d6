# Running the Windows build's tests under wine, headless. Every test of a run shares one
# wine prefix, which the run's first test makes afresh; the tests that make windows share
# another (below).

set(ZENTRIK_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
set(ZENTRIK_WINE_ENVIRONMENT
    "WINEPREFIX=${ZENTRIK_WINE_PREFIX}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "DISPLAY=")

add_test(NAME windows.prefix
         COMMAND "${PROJECT_SOURCE_DIR}/scripts/wine_prefix.sh" "${ZENTRIK_WINE_PREFIX}")
set_tests_properties(windows.prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)

# A Linux path as the wine prefix sees it, through its Z: drive.
function(zentrik_wine_path out_var path)
    string(REPLACE "/" "\\" windows "${path}")
    set(${out_var} "Z:${windows}" PARENT_SCOPE)
endfunction()

# zentrik_add_wine_test(<name> <target> [args...]): one test that runs the whole suite.
function(zentrik_add_wine_test name target)
    add_test(NAME windows.${name} COMMAND ${target} ${ARGN})
    set_tests_properties(windows.${name} PROPERTIES
        FIXTURES_REQUIRED wine_prefix
        ENVIRONMENT "${ZENTRIK_WINE_ENVIRONMENT}"
        TIMEOUT 300)
endfunction()

# The tests that make windows run on a private X display: an Xvfb that picks a free display
# number itself (scripts/xvfb_display.sh), started before the first such test and stopped
# after the last. They have a wine prefix of their own: the first program of a wine session
# starts the session's desktop process on its own display, and a desktop started without
# one refuses windows to every later program of the session, so these tests cannot share a
# session with the tests that keep DISPLAY empty.
set(ZENTRIK_WINE_DISPLAY_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix-display")
set(ZENTRIK_XVFB_DIR "${CMAKE_BINARY_DIR}/xvfb")
set(ZENTRIK_XVFB_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/xvfb_display.sh")
add_test(NAME windows.display_prefix
         COMMAND "${PROJECT_SOURCE_DIR}/scripts/wine_prefix.sh" "${ZENTRIK_WINE_DISPLAY_PREFIX}")
add_test(NAME windows.display_start COMMAND "${ZENTRIK_XVFB_SCRIPT}" start "${ZENTRIK_XVFB_DIR}")
set_tests_properties(windows.display_prefix windows.display_start PROPERTIES
                     FIXTURES_SETUP wine_display TIMEOUT 300)
add_test(NAME windows.display_stop COMMAND "${ZENTRIK_XVFB_SCRIPT}" stop "${ZENTRIK_XVFB_DIR}")
set_tests_properties(windows.display_stop PROPERTIES FIXTURES_CLEANUP wine_display TIMEOUT 60)

# zentrik_add_wine_gui_test(<name> <target> [args...]): one test that runs the program under
# wine on the private display, in the display tests' prefix. A test that needs more in that
# prefix (registry keys, a COM port) adds its own setup test with FIXTURES_REQUIRED
# wine_display. The tests share one display and one wineserver, so one window can take the
# focus from another's: they run one at a time.
function(zentrik_add_wine_gui_test name target)
    add_test(NAME windows.${name}
             COMMAND "${ZENTRIK_XVFB_SCRIPT}" run "${ZENTRIK_XVFB_DIR}"
                     ${CMAKE_CROSSCOMPILING_EMULATOR} "$<TARGET_FILE:${target}>" ${ARGN})
    set_tests_properties(windows.${name} PROPERTIES
        FIXTURES_REQUIRED wine_display
        RESOURCE_LOCK wine_desktop
        ENVIRONMENT "WINEPREFIX=${ZENTRIK_WINE_DISPLAY_PREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml="
        TIMEOUT 300)
endfunction()

# The suites on Windows keep only their files without POSIX headers (those run on Linux).
function(zentrik_drop_posix_files out_var)
    set(kept)
    foreach(file IN LISTS ARGN)
        file(STRINGS "${file}" posix
             REGEX "^#include <(unistd|fcntl|poll|pty|termios|signal|dirent|sys/[a-z]+)\\.h>")
        if(NOT posix)
            list(APPEND kept "${file}")
        endif()
    endforeach()
    set(${out_var} "${kept}" PARENT_SCOPE)
endfunction()
