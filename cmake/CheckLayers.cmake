# cmake -DSOURCE_DIR=<root> -DLAYERS=<declarations> [-DSTAMP=<file>] -P CheckLayers.cmake
# Fails, naming every offending line, when a file of one library includes a
# header owned by a library it may not use (see cmake/Layers.cmake); touches
# STAMP when all is well. An include is looked up as the compiler would: next
# to the including file first, then below the source root.

cmake_minimum_required(VERSION 3.20)
include(${LAYERS})

set(problems)
foreach(layer ${layers})
    foreach(file ${files_${layer}})
        if(DEFINED owner_${file})
            list(APPEND problems "${file} is declared by both ${owner_${file}} and ${layer}")
        endif()
        set(owner_${file} ${layer})
    endforeach()
endforeach()

# What each library may use: itself and everything below it.
foreach(layer ${layers})
    set(allowed ${layer})
    set(queue ${uses_${layer}})
    while(queue)
        list(POP_FRONT queue next)
        if(NOT next IN_LIST allowed)
            list(APPEND allowed ${next})
            list(APPEND queue ${uses_${next}})
        endif()
    endwhile()
    set(allowed_${layer} ${allowed})
endforeach()

foreach(layer ${layers})
    foreach(file ${files_${layer}})
        file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
        cmake_path(GET file PARENT_PATH folder)
        foreach(line ${lines})
            string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
            set(target ${included})
            if(EXISTS ${SOURCE_DIR}/${folder}/${included})
                cmake_path(APPEND folder ${included} OUTPUT_VARIABLE target)
            endif()
            cmake_path(NORMAL_PATH target)
            if(NOT DEFINED owner_${target})
                continue()
            endif()
            set(owner ${owner_${target}})
            if(NOT owner IN_LIST allowed_${layer})
                list(JOIN allowed_${layer} ", " may)
                list(APPEND problems
                     "${file} includes ${target} of ${owner}, but ${layer} may use only ${may}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Includes across the layers:\n  ${text}")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
