# Native build: the platform-free logic under GoogleTest with the sanitizers.
if(STRAVO_SANITIZE)
    set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(stravo_core PRIVATE ${SANITIZE_FLAGS})
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest googletest EXCLUDE_FROM_ALL)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(stravo_native_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(stravo_native_tests PRIVATE stravo_core GTest::gtest_main)
target_compile_options(stravo_native_tests PRIVATE -Wall -Wextra ${SANITIZE_FLAGS})
target_link_options(stravo_native_tests PRIVATE ${SANITIZE_FLAGS})

# A throttled FUSE drive for the end-to-end disk tests; built where libfuse3 is.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(FUSE3 QUIET fuse3)
endif()
if(FUSE3_FOUND)
    add_executable(throttlefs tests/throttle/throttlefs.c)
    target_include_directories(throttlefs PRIVATE ${FUSE3_INCLUDE_DIRS})
    target_link_libraries(throttlefs PRIVATE ${FUSE3_LIBRARIES})
    target_compile_options(throttlefs PRIVATE -Wall -Wextra)
else()
    message(STATUS "libfuse3 not found: no throttled drive, its tests will be skipped")
endif()

# The analysis benchmark (bench/run) is built optimised and without the sanitizers.
add_executable(analysis_bench bench/analysis_bench.cpp measure/rate_analysis.cpp)
target_compile_options(analysis_bench PRIVATE -O2)
