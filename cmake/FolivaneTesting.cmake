# folivane_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds one Qt Test executable and registers it with CTest, offscreen.
# FOLIVANE_CORPUS names the real RFC and draft texts kept with the tests.
set(FOLIVANE_CORPUS_ENV "FOLIVANE_CORPUS=${PROJECT_SOURCE_DIR}/tests/data/corpus")

function(folivane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${FOLIVANE_CORPUS_ENV}"
        TIMEOUT 120)
endfunction()

# folivane_preload_faultfs(<test>)
# Runs the test under the faultfs shim (tests/faultfs), idle until the test
# sets FAULTFS_MODE: it can make a path unreadable or unwritable even for root.
function(folivane_preload_faultfs name)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "LD_PRELOAD=$<TARGET_FILE:folivane_faultfs>")
    set_property(TEST ${name} PROPERTY ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::verify_asan_link_order=0")
    add_dependencies(${name} folivane_faultfs)
endfunction()
