# Shared compile settings and the helper that registers a Windows test with ctest.

set(TWIGMARK_WARNINGS -Wall -Wextra -Wno-unused-parameter)

if(WIN32)
    # The handheld program uses the wide API, the desktop programs the 8-bit
    # one: each tree sets UNICODE for itself.
    add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0600)
    # Wine can run the 32-bit build only where the kernel runs 32-bit code;
    # elsewhere the 64-bit build of the same sources carries the tests.
    option(TWIGMARK_WINE_TESTS "Run the Windows tests under Wine" ON)
    set(TWIGMARK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    if(TWIGMARK_WINE_TESTS)
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            set(TWIGMARK_WINEARCH win32)
        else()
            set(TWIGMARK_WINEARCH win64)
        endif()
        add_test(NAME wine_prefix COMMAND env WINEARCH=${TWIGMARK_WINEARCH}
                 ${CMAKE_SOURCE_DIR}/scripts/wine-prefix ${TWIGMARK_WINEPREFIX})
        set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    endif()
endif()

# One ctest entry per Windows test program: starting Wine is the expensive part.
function(twigmark_add_wine_test name target)
    if(NOT TWIGMARK_WINE_TESTS)
        return()
    endif()
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine
        ENVIRONMENT "WINEPREFIX=${TWIGMARK_WINEPREFIX};WINEDEBUG=-all"
        TIMEOUT 600)
endfunction()

# Sanitizer flags for the native test and fuzz builds (clang or gcc).
set(TWIGMARK_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
