# Build-wide sanitizer and fuzzing switches. Included from the top-level
# CMakeLists.txt before any add_subdirectory(), so add_compile_options() and
# add_link_options() reach every library, the app, the benches and the tests.
# Whole-build flags (rather than per target) keep one ABI across all static
# libraries: mixing instrumented and plain objects hides bugs.

option(FOLIVANE_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FOLIVANE_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)

set(FOLIVANE_SANITIZER_FLAGS
    -fsanitize=address,undefined
    -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)

if(FOLIVANE_SANITIZE)
    add_compile_options(${FOLIVANE_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()

if(FOLIVANE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "FOLIVANE_FUZZ needs clang: configure a separate build dir "
                            "with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Coverage instrumentation for the libraries; only the fuzz executables
    # link libFuzzer itself (-fsanitize=fuzzer, set in fuzz/CMakeLists.txt).
    add_compile_options(-fsanitize=fuzzer-no-link ${FOLIVANE_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()
