# Every layer folder is a static library of its own whose sources are the folder's .cpp files; it links the
# layers below it (and libraries) given after the folder.
function(veltrano_layer name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
  target_compile_definitions(${name} PUBLIC VELTRANO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    VELTRANO_VERSION_MINOR=${PROJECT_VERSION_MINOR} VELTRANO_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    VELTRANO_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# A unit-test executable from the .cpp files of one tests/unit subfolder, linked to the one layer it tests
# (which brings the layers below it).
function(veltrano_unit_tests name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} vt_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "VELTRANO_TEST=1")
endfunction()
