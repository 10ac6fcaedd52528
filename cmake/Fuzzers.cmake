# libFuzzer targets (tests/fuzz/), built only with VINOLA_FUZZERS=ON and clang (tools/fuzz.sh
# configures a build of its own and runs them). In such a build every target, the project's
# libraries and the JUCE sets alike, is compiled with coverage instrumentation,
# AddressSanitizer and UndefinedBehaviorSanitizer; any report stops the fuzzer with the input
# that caused it. Included before any target is made, so that the options reach them all.
option(VINOLA_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)
if(VINOLA_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VINOLA_FUZZERS needs clang: configure with CC=clang CXX=clang++")
    endif()

    # Not for the assembler's sample blob.
    foreach(flag -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
        add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:${flag}>)
    endforeach()
    add_link_options(-fsanitize=address,undefined)
endif()
