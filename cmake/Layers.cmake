# One-way layers. Each library of the program declares the files it owns
# (sources and headers) and the libraries it uses; it may include its own
# headers and those of the libraries it uses, directly or through them, and
# nothing else of the program. Linking alone cannot enforce that, since a
# header-only include never reaches the linker, so the build runs
# cmake/CheckLayers.cmake over every declared file before it compiles any
# library, and stops at the first include that reaches upwards or sideways.
# Headers that no library owns (res/resource.h, system and test headers) are
# not checked.

# varnholt_layer(<name> [USES <libraries...>] FILES <files...>)
# Declares library <name>: FILES are the absolute paths of the sources and
# headers it owns, USES the libraries directly below it.
function(varnholt_layer name)
    cmake_parse_arguments(ARG "" "" "USES;FILES" ${ARGN})
    set(owned)
    foreach(file ${ARG_FILES})
        cmake_path(RELATIVE_PATH file BASE_DIRECTORY ${CMAKE_SOURCE_DIR})
        list(APPEND owned ${file})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY VARNHOLT_LAYERS ${name})
    set_property(GLOBAL PROPERTY VARNHOLT_LAYER_USES_${name} ${ARG_USES})
    set_property(GLOBAL PROPERTY VARNHOLT_LAYER_FILES_${name} ${owned})
    if(TARGET ${name})
        add_dependencies(${name} varnholt_layer_check)
    endif()
endfunction()

# varnholt_layer_library(<name> [USES <libraries...>] FILES <files...>)
# The static library of the .cpp files among FILES, linked with the
# libraries it uses, declared as a layer.
function(varnholt_layer_library name)
    cmake_parse_arguments(ARG "" "" "USES;FILES" ${ARGN})
    set(sources ${ARG_FILES})
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_USES})
    varnholt_layer(${name} USES ${ARG_USES} FILES ${ARG_FILES})
endfunction()

# Writes the declarations for the check and adds the target that runs it.
# Called once, after every library is declared.
function(varnholt_check_layers)
    get_property(layers GLOBAL PROPERTY VARNHOLT_LAYERS)
    set(text "set(layers ${layers})\n")
    set(inputs)
    foreach(layer ${layers})
        get_property(uses GLOBAL PROPERTY VARNHOLT_LAYER_USES_${layer})
        get_property(files GLOBAL PROPERTY VARNHOLT_LAYER_FILES_${layer})
        string(APPEND text "set(uses_${layer} ${uses})\nset(files_${layer} ${files})\n")
        list(TRANSFORM files PREPEND ${CMAKE_SOURCE_DIR}/)
        list(APPEND inputs ${files})
    endforeach()
    set(declarations ${CMAKE_BINARY_DIR}/layers.cmake)
    # Rewritten only when it changes, so a reconfigure alone reruns nothing.
    file(CONFIGURE OUTPUT ${declarations} CONTENT "${text}" @ONLY)
    set(stamp ${CMAKE_BINARY_DIR}/layers.checked)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DLAYERS=${declarations}
                -DSTAMP=${stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
        DEPENDS ${inputs} ${declarations} ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMENT "Checking that every library includes only the layers below it"
        VERBATIM)
    add_custom_target(varnholt_layer_check DEPENDS ${stamp})
endfunction()
