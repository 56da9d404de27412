# folivane_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds one Qt Test executable and registers it with CTest, offscreen.
function(folivane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;FOLIVANE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;FOLIVANE_CORPUS=${PROJECT_SOURCE_DIR}/../shared/corpus"
        TIMEOUT 120)
endfunction()
