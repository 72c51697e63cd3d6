# The controller software's release the program belongs to (the project's version, which the
# packages carry too), and the build's own version: the release followed by `git describe` of
# the source tree when it is a git checkout, else the release alone. Written into
# build_version.h for the About box and the programs' --version; the Windows resources'
# version block takes them too (cmake/Win32Resources.cmake).
set(ZENTRIK_PRODUCT_VERSION "${PROJECT_VERSION}")
set(ZENTRIK_BUILD_VERSION "${PROJECT_VERSION}")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/.git")
    execute_process(
        COMMAND "${GIT_EXECUTABLE}" describe --tags --always --dirty
        WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
        OUTPUT_VARIABLE described
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE described_rc
        ERROR_QUIET)
    if(described_rc EQUAL 0 AND described)
        set(ZENTRIK_BUILD_VERSION "${PROJECT_VERSION}-g${described}")
    endif()
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/build_version.h.in"
               "${CMAKE_BINARY_DIR}/generated/build_version.h" @ONLY)
