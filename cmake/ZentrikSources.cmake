# Source collection shared by every directory of the build.
#
# Each subsystem folder is globbed, so adding a file never means editing a list.
# Platform files are picked by their suffix:
#   *_posix.cpp  - POSIX systems (termios, pseudo-terminals)
#   *_linux.cpp  - Linux only (libudev)
#   *_win32.cpp  - Windows only (Win32 serial, registry, vendor library)

function(zentrik_platform_filter out_var)
    set(result)
    foreach(file IN LISTS ARGN)
        get_filename_component(stem "${file}" NAME_WE)
        if(stem MATCHES "_win32$")
            if(WIN32)
                list(APPEND result "${file}")
            endif()
        elseif(stem MATCHES "_posix$")
            if(UNIX)
                list(APPEND result "${file}")
            endif()
        elseif(stem MATCHES "_linux$")
            if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
                list(APPEND result "${file}")
            endif()
        else()
            list(APPEND result "${file}")
        endif()
    endforeach()
    set(${out_var} "${result}" PARENT_SCOPE)
endfunction()

# zentrik_glob_sources(<var> <dir>...) - the .cpp files of the folders, for this platform.
function(zentrik_glob_sources out_var)
    set(all)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS "${dir}/*.cpp")
        list(APPEND all ${found})
    endforeach()
    list(SORT all)
    zentrik_platform_filter(filtered ${all})
    set(${out_var} "${filtered}" PARENT_SCOPE)
endfunction()

# Warnings and sanitizer flags for every target of ours.
function(zentrik_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()
