# The layers are kept by the include paths: a library sees its own folder and, through what it
# links, the layers below it. Prove that at configure time: a lower layer's sources compile with
# their own headers, and stop the build if naming a higher layer's header compiles too.

# Compiles `content` with the include path that sources of `target` get; the result goes to `var`.
function(relicwright_compiles_in var target content)
    set(dirs "")
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        get_target_property(own ${current} INTERFACE_INCLUDE_DIRECTORIES)
        if(own)
            list(APPEND dirs ${own})
        endif()
        get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
        foreach(link IN LISTS links)
            if(TARGET ${link})
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
    try_compile(compiled SOURCE_FROM_CONTENT layer_check.cpp "${content}"
        CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${dirs}"
        CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON
        OUTPUT_VARIABLE output)
    set(${var} ${compiled} PARENT_SCOPE)
    set(${var}_output "${output}" PARENT_SCOPE)
endfunction()

# `header` is a higher layer's header that `target`'s sources must not reach; `own` one they must.
function(relicwright_check_layer target own header)
    relicwright_compiles_in(reached_own ${target} "#include \"${own}\"\nint layer_check;\n")
    if(NOT reached_own)
        message(FATAL_ERROR "Layer check: ${target} cannot compile its own ${own}; the check itself is broken")
    endif()
    relicwright_compiles_in(reached_up ${target} "#include \"${header}\"\nint layer_check;\n")
    # Refused for the right reason: the header is not on the path, not some other fault in it.
    string(REGEX MATCH "${header}[^\n]*(No such file|not found)" not_found "${reached_up_output}")
    if(reached_up OR NOT not_found)
        message(FATAL_ERROR "Layer check: ${target} reaches ${header} of a higher layer")
    endif()
    message(STATUS "Layer check: ${target} reaches ${own} and is refused ${header}")
endfunction()
