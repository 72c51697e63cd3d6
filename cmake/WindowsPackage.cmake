# What the Windows installer and zip hold, for scripts/windows_package.sh: the version and
# the built programs with the icon and the test's window driver, one
# name=path a line in windows-package.txt of the build folder.
if(NOT WIN32)
    return()
endif()

set(zentrik_package_window "$<$<TARGET_EXISTS:zentrik>:$<TARGET_FILE:zentrik>>")
file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/windows-package.txt" CONTENT
"version=${PROJECT_VERSION}
zentrikctl=$<TARGET_FILE:zentrikctl>
zentrik=${zentrik_package_window}
icon=$<TARGET_PROPERTY:zentrik_win32_res,ZENTRIK_ICON_FILE>
driver=$<$<TARGET_EXISTS:window_driver>:$<TARGET_FILE:window_driver>>
")
