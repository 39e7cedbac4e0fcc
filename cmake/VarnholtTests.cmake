# Test registration. Every test source file tests/<area>/<Name>_test.cpp
# becomes its own executable, run under Wine in the 64-bit prefix: natively
# in the x64 build, under WOW64 in the x86 build. Files named
# *_wow64_test.cpp cover behaviour that differs between 32-bit Windows and
# WOW64; the x86 build also runs them in the 32-bit prefix. Files named
# *_x86_test.cpp run the 32-bit program itself and belong to the x86 build.
#
# Labels: the build's architecture (x86, x64) and the prefix (win64, win32),
# so scripts/run-tests can pick the suites a host can run.

set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The prefixes are shared by the builds that sit side by side in one folder.
get_filename_component(varnholt_default_prefix_dir ${CMAKE_BINARY_DIR} DIRECTORY)
set(VARNHOLT_PREFIX_DIR ${varnholt_default_prefix_dir} CACHE PATH "Folder of the test Wine prefixes")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VARNHOLT_ARCH x64)
else()
    set(VARNHOLT_ARCH x86)
endif()
set(VARNHOLT_PREFIX64 ${VARNHOLT_PREFIX_DIR}/prefix64)
set(VARNHOLT_PREFIX32 ${VARNHOLT_PREFIX_DIR}/prefix32)
set(VARNHOLT_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${VARNHOLT_PREFIX64} ${VARNHOLT_WINE_RUN})
set(VARNHOLT_TEST_ENV VARNHOLT_SOURCE_DIR=${CMAKE_SOURCE_DIR} VARNHOLT_BUILD_DIR=${CMAKE_BINARY_DIR}
    VARNHOLT_PREFIX_DIR=${VARNHOLT_PREFIX_DIR} VARNHOLT_ARCH=${VARNHOLT_ARCH})

# varnholt_add_prefix_test(<name> <prefix: win64|win32> <timeout> <command...>)
function(varnholt_add_prefix_test name prefix timeout)
    if(prefix STREQUAL "win32")
        set(dir ${VARNHOLT_PREFIX32})
    else()
        set(dir ${VARNHOLT_PREFIX64})
    endif()
    add_test(NAME ${name} COMMAND ${ARGN})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "WINEPREFIX=${dir};VARNHOLT_PREFIX_ARCH=${prefix};${VARNHOLT_TEST_ENV}"
        TIMEOUT ${timeout} LABELS "${VARNHOLT_ARCH};${prefix}")
endfunction()

# varnholt_test_dir(<area> LIBS <libs...> [OWN_PREFIX <names...>]
#                   [PER_DPI <names...>]): one test executable per
# *_test.cpp in the calling folder, linked with the given libraries. Tests
# named in OWN_PREFIX write the real registry and run in a throwaway copy of
# their prefix. Tests named in PER_DPI run once per screen DPI of
# VARNHOLT_TEST_DPIS, each in a throwaway prefix copy set to that DPI (test
# name <target>.dpi<N>, VARNHOLT_LOGPIXELS=<N> in its environment).
set(VARNHOLT_TEST_DPIS 96 120 144 CACHE STRING "Screen DPIs the PER_DPI tests run at")

function(varnholt_test_dir area)
    cmake_parse_arguments(ARG "" "TIMEOUT" "LIBS;OWN_PREFIX;PER_DPI" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(src ${tests})
        get_filename_component(name ${src} NAME_WE)
        # *_x86_test.cpp runs the 32-bit program: the x86 build's suite only.
        if(name MATCHES "_x86_test$" AND NOT VARNHOLT_ARCH STREQUAL "x86")
            continue()
        endif()
        set(target ${area}_${name})
        add_executable(${target} ${src})
        target_link_libraries(${target} PRIVATE ${ARG_LIBS} varnholt_testsupport gtest)
        set(run ${VARNHOLT_WINE_RUN})
        if(name IN_LIST ARG_PER_DPI)
            foreach(dpi ${VARNHOLT_TEST_DPIS})
                varnholt_add_prefix_test(${target}.dpi${dpi} win64 ${ARG_TIMEOUT}
                    env VARNHOLT_LOGPIXELS=${dpi}
                    ${CMAKE_SOURCE_DIR}/scripts/with-prefix-copy ${VARNHOLT_WINE_RUN}
                    $<TARGET_FILE:${target}>)
            endforeach()
            continue()
        endif()
        if(name IN_LIST ARG_OWN_PREFIX)
            set(run ${CMAKE_SOURCE_DIR}/scripts/with-prefix-copy ${VARNHOLT_WINE_RUN})
        endif()
        varnholt_add_prefix_test(${target} win64 ${ARG_TIMEOUT} ${run} $<TARGET_FILE:${target}>)
        if(name MATCHES "_wow64_test$" AND VARNHOLT_ARCH STREQUAL "x86")
            varnholt_add_prefix_test(${target}.win32 win32 ${ARG_TIMEOUT} ${run} $<TARGET_FILE:${target}>)
        endif()
    endforeach()
endfunction()
