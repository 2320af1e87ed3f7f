find_package(GTest REQUIRED)
include(GoogleTest)

# tilvane_add_tests(<target> LABEL <label> SOURCES <files...> LIBRARIES <libs...> [TIMEOUT <s>])
# One test executable per module; every test case becomes a CTest test carrying the module's label.
function(tilvane_add_tests target)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABEL}" TIMEOUT ${ARG_TIMEOUT}
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
