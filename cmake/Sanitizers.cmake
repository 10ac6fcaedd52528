# VINOLA_ASAN=ON builds everything (plug-in, tests, tools) with AddressSanitizer, its leak
# checker, and UndefinedBehaviorSanitizer. Any report fails the test that caused it.
# VINOLA_SANITIZER_ENVIRONMENT holds the run-time options the tests get through ctest.
option(VINOLA_ASAN "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
set(VINOLA_SANITIZER_ENVIRONMENT "")
if(VINOLA_ASAN)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    set(VINOLA_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1"
        "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp:print_suppressions=0"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()
