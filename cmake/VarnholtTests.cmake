# Test registration. Every test source file tests/<area>/<Name>_test.cpp
# becomes its own executable, run under Wine in the build tree's 64-bit prefix.
# Files named *_wow64_test.cpp cover behaviour that differs between 32-bit
# Windows and WOW64 and also run in the 32-bit prefix.

set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(VARNHOLT_PREFIX64 ${CMAKE_BINARY_DIR}/prefix64)
set(VARNHOLT_PREFIX32 ${CMAKE_BINARY_DIR}/prefix32)
set(VARNHOLT_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${VARNHOLT_PREFIX64} ${VARNHOLT_WINE_RUN})

# varnholt_test_dir(<area> LIBS <libs...>): one test executable per
# *_test.cpp in the calling folder, linked with the given libraries.
function(varnholt_test_dir area)
    cmake_parse_arguments(ARG "" "TIMEOUT" "LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(src ${tests})
        get_filename_component(name ${src} NAME_WE)
        set(target ${area}_${name})
        add_executable(${target} ${src})
        target_link_libraries(${target} PRIVATE ${ARG_LIBS} varnholt_testsupport gtest)
        add_test(NAME ${target} COMMAND ${VARNHOLT_WINE_RUN} $<TARGET_FILE:${target}>)
        set_tests_properties(${target} PROPERTIES
            ENVIRONMENT "WINEPREFIX=${VARNHOLT_PREFIX64};VARNHOLT_SOURCE_DIR=${CMAKE_SOURCE_DIR};VARNHOLT_BUILD_DIR=${CMAKE_BINARY_DIR}"
            TIMEOUT ${ARG_TIMEOUT} LABELS "${area};win64")
        if(name MATCHES "_wow64_test$")
            add_test(NAME ${target}.win32 COMMAND ${VARNHOLT_WINE_RUN} $<TARGET_FILE:${target}>)
            set_tests_properties(${target}.win32 PROPERTIES
                ENVIRONMENT "WINEPREFIX=${VARNHOLT_PREFIX32};VARNHOLT_SOURCE_DIR=${CMAKE_SOURCE_DIR};VARNHOLT_BUILD_DIR=${CMAKE_BINARY_DIR}"
                TIMEOUT ${ARG_TIMEOUT} LABELS "${area};win32")
        endif()
    endforeach()
endfunction()
