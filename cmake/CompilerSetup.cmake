# Warnings, ccache and sanitizers for every target of the project.

find_program(TACHY_CCACHE ccache)
if(TACHY_CCACHE)
    set(CMAKE_C_COMPILER_LAUNCHER ${TACHY_CCACHE})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${TACHY_CCACHE})
endif()

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers)

if(TACHY_SANITIZE)
    string(REPLACE "," ";" _sanitizers "${TACHY_SANITIZE}")
    foreach(_sanitizer IN LISTS _sanitizers)
        if(NOT _sanitizer MATCHES "^(address|undefined|thread)$")
            message(FATAL_ERROR "TACHY_SANITIZE: unknown sanitizer '${_sanitizer}'")
        endif()
    endforeach()
    if("thread" IN_LIST _sanitizers AND "address" IN_LIST _sanitizers)
        message(FATAL_ERROR "TACHY_SANITIZE: thread cannot be combined with address")
    endif()
    add_compile_options(-fsanitize=${TACHY_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${TACHY_SANITIZE})
endif()

if(TACHY_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TACHY_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    # An undefined-behaviour report ends the run like a crash, so that libFuzzer keeps the input
    # and the run fails; otherwise the report only scrolls past in the log.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
