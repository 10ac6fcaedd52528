# libFuzzer targets, built only with VINOLA_FUZZERS=ON and clang (tools/fuzz.sh configures and
# runs them). The plug-in's shared code is compiled with coverage instrumentation, AddressSanitizer
# and UndefinedBehaviorSanitizer; any report stops the fuzzer with the input that caused it.
option(VINOLA_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)
if(VINOLA_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VINOLA_FUZZERS needs clang: configure with CC=clang CXX=clang++")
    endif()

    set(VINOLA_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer -g)
    target_compile_options(Vinola PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:${VINOLA_FUZZ_FLAGS}>)
    target_link_options(Vinola INTERFACE -fsanitize=address,undefined)

    foreach(fuzzer VinolaStateFuzzer MvAssetArchiveFuzzer)
        add_executable(${fuzzer} EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/${fuzzer}.cpp)
        vinola_link_shared_code(${fuzzer})
        target_compile_options(${fuzzer} PRIVATE ${VINOLA_FUZZ_FLAGS} -Wall -Wextra)
        target_link_options(${fuzzer} PRIVATE -fsanitize=fuzzer,address,undefined)
    endforeach()
endif()
