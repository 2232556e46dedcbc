# Every subsystem folder is a static library of its own whose sources are the folder's .cpp files.
function(veltrano_subsystem name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
  target_compile_definitions(${name} PUBLIC VELTRANO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    VELTRANO_VERSION_MINOR=${PROJECT_VERSION_MINOR} VELTRANO_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    VELTRANO_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})
endfunction()

# A unit-test executable from the .cpp files of one tests/unit subfolder.
function(veltrano_unit_tests name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  # The subsystem libraries call each other both ways, and any archive member may be pulled in late to satisfy a
  # weak template instantiation that GoogleTest needs; link them as one group the linker rescans.
  target_link_libraries(${name} PRIVATE -Wl,--start-group ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main
    -Wl,--end-group)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "VELTRANO_TEST=1")
endfunction()
