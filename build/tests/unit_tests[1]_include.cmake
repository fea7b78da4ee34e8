if(EXISTS "/work/main/build/tests/unit_tests.exe")
  if(NOT EXISTS "/work/main/build/tests/unit_tests[1]_tests.cmake" OR
     NOT "/work/main/build/tests/unit_tests[1]_tests.cmake" IS_NEWER_THAN "/work/main/build/tests/unit_tests.exe" OR
     NOT "/work/main/build/tests/unit_tests[1]_tests.cmake" IS_NEWER_THAN "${CMAKE_CURRENT_LIST_FILE}")
    include("/usr/share/cmake-3.25/Modules/GoogleTestAddTests.cmake")
    gtest_discover_tests_impl(
      TEST_EXECUTABLE [==[/work/main/build/tests/unit_tests.exe]==]
      TEST_EXECUTOR [==[/work/main/cmake/../scripts/wine-run.sh]==]
      TEST_WORKING_DIR [==[/work/main/build/tests]==]
      TEST_EXTRA_ARGS [==[]==]
      TEST_PROPERTIES [==[ENVIRONMENT;HOLTER_BUILD_DIR=/work/main/build;HOLTER_SOURCE_DIR=/work/main;TIMEOUT;120]==]
      TEST_PREFIX [==[]==]
      TEST_SUFFIX [==[]==]
      TEST_FILTER [==[]==]
      NO_PRETTY_TYPES [==[FALSE]==]
      NO_PRETTY_VALUES [==[FALSE]==]
      TEST_LIST [==[unit_tests_TESTS]==]
      CTEST_FILE [==[/work/main/build/tests/unit_tests[1]_tests.cmake]==]
      TEST_DISCOVERY_TIMEOUT [==[60]==]
      TEST_XML_OUTPUT_DIR [==[]==]
    )
  endif()
  include("/work/main/build/tests/unit_tests[1]_tests.cmake")
else()
  add_test(unit_tests_NOT_BUILT unit_tests_NOT_BUILT)
endif()
