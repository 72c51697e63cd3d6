# The Windows window's resources. The images are rendered into the build tree from the SVG
# sources (rsvg-convert for every size, ImageMagick for the toolbar strips, the 24-bit BMPs
# and the icon); the version header and the manifest are configured there too; windres then
# compiles the resource script with that folder on its include path, where it also looks for
# the files the script names.
#
#   zentrik_add_win32_resources(<target> RC <script> IMAGES <svg folder> HEADER <ids header>)
#
# makes <target>, an object library: a program that links it carries the resources. (Not a
# static library: nothing refers to a resource object by a symbol, so the linker would leave
# it out of the program.) Its property ZENTRIK_ICON_FILE names the rendered icon.
enable_language(RC)

find_program(ZENTRIK_RSVG_CONVERT rsvg-convert REQUIRED)
# Debian's ImageMagick 6 by its own name first, so that no other `convert` on the path is taken.
find_program(ZENTRIK_IMAGEMAGICK_CONVERT NAMES convert-im6.q16 convert REQUIRED)

# Toolbar images: one per button, in button order; disabled variants are "<name>-disabled".
set(ZENTRIK_TOOLBAR_IMAGES connection upload download info)
set(ZENTRIK_TOOLBAR_IMAGE_SIZE 85 31)
# The toolbar strips' background, which the skin's image lists take as their mask colour.
set(ZENTRIK_TOOLBAR_MASK_COLOUR "rgb(190,190,190)")
# The About picture and the banner sit on black.
set(ZENTRIK_ABOUT_SIZE 600 634)
set(ZENTRIK_BANNER_SIZE 520 71)
set(ZENTRIK_ICON_SIZES 16 24 32 48 64 256)

# <out_var> = the PNG of <svg> at <width> x <height>, rendered into <folder>.
function(_zentrik_render_png out_var svg folder width height)
    get_filename_component(stem "${svg}" NAME_WE)
    set(png "${folder}/png/${stem}-${width}x${height}.png")
    add_custom_command(
        OUTPUT "${png}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}/png"
        COMMAND "${ZENTRIK_RSVG_CONVERT}" --width ${width} --height ${height}
                --output "${png}" "${svg}"
        DEPENDS "${svg}"
        COMMENT "Rendering ${stem}.svg at ${width}x${height}"
        VERBATIM)
    set(${out_var} "${png}" PARENT_SCOPE)
endfunction()

# A 24-bit BMP (BITMAPINFOHEADER, no alpha) of the PNGs side by side on <background>.
function(_zentrik_bmp bmp background)
    add_custom_command(
        OUTPUT "${bmp}"
        COMMAND "${ZENTRIK_IMAGEMAGICK_CONVERT}" ${ARGN} +append -background "${background}"
                -alpha remove -alpha off -type TrueColor "BMP3:${bmp}"
        DEPENDS ${ARGN}
        VERBATIM)
endfunction()

function(zentrik_add_win32_resources target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "RC;IMAGES;HEADER" "")
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}")
    set(images "${CMAKE_CURRENT_SOURCE_DIR}/${arg_IMAGES}")
    set(generated)

    # The toolbar strips, at 1x and 2x, enabled and disabled.
    list(GET ZENTRIK_TOOLBAR_IMAGE_SIZE 0 width)
    list(GET ZENTRIK_TOOLBAR_IMAGE_SIZE 1 height)
    foreach(scale IN ITEMS 1 2)
        math(EXPR w "${width} * ${scale}")
        math(EXPR h "${height} * ${scale}")
        set(suffix "")
        if(scale EQUAL 2)
            set(suffix "_2x")
        endif()
        foreach(variant IN ITEMS "" "-disabled")
            set(pngs)
            foreach(button IN LISTS ZENTRIK_TOOLBAR_IMAGES)
                _zentrik_render_png(png "${images}/${button}${variant}.svg" "${out}" ${w} ${h})
                list(APPEND pngs "${png}")
            endforeach()
            string(REPLACE "-" "_" name "toolbar${variant}${suffix}.bmp")
            _zentrik_bmp("${out}/${name}" "${ZENTRIK_TOOLBAR_MASK_COLOUR}" ${pngs})
            list(APPEND generated "${out}/${name}")
        endforeach()

        foreach(picture IN ITEMS about banner)
            string(TOUPPER "${picture}" upper)
            list(GET ZENTRIK_${upper}_SIZE 0 pw)
            list(GET ZENTRIK_${upper}_SIZE 1 ph)
            math(EXPR pw "${pw} * ${scale}")
            math(EXPR ph "${ph} * ${scale}")
            _zentrik_render_png(png "${images}/${picture}.svg" "${out}" ${pw} ${ph})
            _zentrik_bmp("${out}/${picture}${suffix}.bmp" black "${png}")
            list(APPEND generated "${out}/${picture}${suffix}.bmp")
        endforeach()
    endforeach()

    # The application icon, every size in one file (32-bit images with alpha).
    set(icon_pngs)
    foreach(size IN LISTS ZENTRIK_ICON_SIZES)
        _zentrik_render_png(png "${images}/zentrik-icon.svg" "${out}" ${size} ${size})
        list(APPEND icon_pngs "${png}")
    endforeach()
    add_custom_command(
        OUTPUT "${out}/zentrik.ico"
        COMMAND "${ZENTRIK_IMAGEMAGICK_CONVERT}" ${icon_pngs} "ICO:${out}/zentrik.ico"
        DEPENDS ${icon_pngs}
        VERBATIM)
    list(APPEND generated "${out}/zentrik.ico")

    # Version block and manifest.
    string(REPLACE "." ", " ZENTRIK_RC_PRODUCT_VERSION_COMMAS "${ZENTRIK_PRODUCT_VERSION}, 0")
    get_filename_component(rc_dir "${CMAKE_CURRENT_SOURCE_DIR}/${arg_RC}" DIRECTORY)
    configure_file("${rc_dir}/zentrik_rc_version.h.in" "${out}/zentrik_rc_version.h" @ONLY)
    configure_file("${rc_dir}/zentrik.manifest.in" "${out}/zentrik.manifest" @ONLY)
    list(APPEND generated "${out}/zentrik_rc_version.h" "${out}/zentrik.manifest")

    add_custom_target(${target}_images DEPENDS ${generated})
    add_library(${target} OBJECT "${arg_RC}")
    target_include_directories(${target} PRIVATE "${out}")
    add_dependencies(${target} ${target}_images)
    # The icon file, for the installer.
    set_target_properties(${target} PROPERTIES ZENTRIK_ICON_FILE "${out}/zentrik.ico")
    # windres leaves no list of the files it read: name them, so that a changed image or
    # header compiles the script again.
    set_source_files_properties("${arg_RC}" PROPERTIES
        OBJECT_DEPENDS "${generated};${CMAKE_CURRENT_SOURCE_DIR}/${arg_HEADER}")
endfunction()
