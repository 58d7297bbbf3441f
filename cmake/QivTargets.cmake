# Common compile settings for every target of the project.
option(QIV_WERROR "Treat compiler warnings as errors" OFF)
set(QIV_SANITIZE "" CACHE STRING "Sanitizer build: empty, 'address' (ASan+UBSan) or 'thread'")
option(QIV_FUZZ "Build the libFuzzer targets (clang; tools/fuzz configures build/fuzz)" OFF)

# Every target includes the project's headers by their folder: "platform/win32.h",
# "runtime/qivlib.h"; libraries publish that to their users (and install their public headers).
function(qiv_target_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter
                                             -Wno-missing-field-initializers)
    if(QIV_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(QIV_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(QIV_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT QIV_SANITIZE STREQUAL "")
    message(FATAL_ERROR "QIV_SANITIZE must be empty, 'address' or 'thread'")
endif()

# Fuzzing instruments the whole tree for coverage, ASan and UBSan; the targets link libFuzzer.
if(QIV_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QIV_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
