# The fuzz build: one libFuzzer program over the pure sources and the
# property checks, under AddressSanitizer and UBSan; MOKURE_FUZZ_TARGET
# chooses the target when it runs (scripts/fuzz.sh).
#
# clang takes no execution character set but UTF-8, so every source is built
# from a copy whose narrow literals hold the code page 932 bytes that g++
# makes of them.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz build needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()

add_executable(mokure_cp932_literals ${CMAKE_SOURCE_DIR}/tests/fuzz/cp932_literals.cpp)
target_compile_options(mokure_cp932_literals PRIVATE -Wall -Wextra)

set(MOKURE_CP932_ROOT ${CMAKE_BINARY_DIR}/cp932)
file(GLOB_RECURSE MOKURE_FUZZ_HEADERS CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/app/*.h ${CMAKE_SOURCE_DIR}/document/*.h ${CMAKE_SOURCE_DIR}/file/*.h
    ${CMAKE_SOURCE_DIR}/msg/*.h ${CMAKE_SOURCE_DIR}/print/*.h ${CMAKE_SOURCE_DIR}/search/*.h
    ${CMAKE_SOURCE_DIR}/text/*.h ${CMAKE_SOURCE_DIR}/state/*.h ${CMAKE_SOURCE_DIR}/tests/fuzz/properties/*.h)
file(GLOB MOKURE_PROPERTY_SOURCES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/tests/fuzz/properties/*.cpp)

set(MOKURE_FUZZ_COPIED_HEADERS)
set(MOKURE_FUZZ_COPIED_SOURCES)
foreach(file ${MOKURE_FUZZ_HEADERS} ${MOKURE_PURE_SOURCES} ${MOKURE_PROPERTY_SOURCES}
        tests/fuzz/fuzz_target.cpp)
    set(copy ${MOKURE_CP932_ROOT}/${file})
    add_custom_command(OUTPUT ${copy}
        COMMAND mokure_cp932_literals ${CMAKE_SOURCE_DIR}/${file} ${copy}
        DEPENDS mokure_cp932_literals ${CMAKE_SOURCE_DIR}/${file}
        VERBATIM)
    if(file MATCHES "\\.h$")
        list(APPEND MOKURE_FUZZ_COPIED_HEADERS ${copy})
    else()
        list(APPEND MOKURE_FUZZ_COPIED_SOURCES ${copy})
    endif()
endforeach()
add_custom_target(mokure_fuzz_headers DEPENDS ${MOKURE_FUZZ_COPIED_HEADERS})

set(MOKURE_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer -g -O1)
add_executable(mokure_fuzz ${MOKURE_FUZZ_COPIED_SOURCES})
add_dependencies(mokure_fuzz mokure_fuzz_headers)
target_include_directories(mokure_fuzz PRIVATE ${MOKURE_CP932_ROOT})
target_compile_options(mokure_fuzz PRIVATE -Wall -Wextra ${MOKURE_FUZZ_FLAGS})
target_link_options(mokure_fuzz PRIVATE ${MOKURE_FUZZ_FLAGS})
