# Running the Windows build's tests under wine, headless. Every test of a run shares one
# wine prefix, which the run's first test makes afresh.

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
