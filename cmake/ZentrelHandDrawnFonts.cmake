# Zentrel's hand-drawn fonts are not kept in the repository: configuring fetches them once from
# the npm registry into the build folder. Without them (no network, a tool missing) the build
# goes on with one warning, and hand-drawn text falls back to a handwriting font installed on the
# system or to the system font.
function(zentrel_add_hand_drawn_fonts font_folder)
    set(fonts ${font_folder}/Virgil.otf ${font_folder}/Excalifont.otf)
    set(script ${PROJECT_SOURCE_DIR}/cmake/fetch-hand-drawn-fonts)
    if(NOT EXISTS ${font_folder}/Virgil.otf OR NOT EXISTS ${font_folder}/Excalifont.otf)
        execute_process(
            COMMAND ${script} ${CMAKE_BINARY_DIR}/hand-drawn-fonts ${font_folder}
            RESULT_VARIABLE result
            ERROR_VARIABLE reason
            ERROR_STRIP_TRAILING_WHITESPACE)
        if(NOT result EQUAL 0)
            message(WARNING "Zentrel is built without its hand-drawn fonts: ${reason}. "
                "Whiteboard texts fall back to an installed handwriting font or the system font.")
        endif()
    endif()
    # The licence notice goes wherever the fonts go.
    if(EXISTS ${font_folder}/Virgil.otf)
        configure_file(${PROJECT_SOURCE_DIR}/resources/fonts/OFL.txt ${font_folder}/OFL.txt
            COPYONLY)
    endif()
    install(FILES ${fonts} ${font_folder}/OFL.txt
        DESTINATION share/zentrel/Resources/Fonts OPTIONAL)
endfunction()
