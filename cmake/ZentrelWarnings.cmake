# Our own targets build with the house warning set; third-party headers come in as SYSTEM.
function(zentrel_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
    if(ZENTREL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
