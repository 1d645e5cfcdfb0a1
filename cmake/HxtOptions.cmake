# Warnings and sanitizers for every target of the project.
add_compile_options(-Wall -Wextra)
if(MINGW)
    # MinGW's GCC 12 reports overlapping copies inside std::string's own code at -O3 (GCC bug 105329, not in ours).
    add_compile_options(-Wno-restrict)
endif()
if(HXT_WERROR)
    add_compile_options(-Werror)
endif()

if(HXT_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # With the sanitizers GCC's flow analysis reports uninitialised reads inside the standard library that are
        # not there (std::regex's states); the plain build keeps the warning.
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
elseif(HXT_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT HXT_SANITIZE STREQUAL "")
    message(FATAL_ERROR "HXT_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(HXT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "HXT_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    # libFuzzer steers by the coverage of the code under test, so every library carries the coverage
    # instrumentation, not only the fuzz targets' own files. Linking with the same flag gives the other
    # programs of this build (tests, companion, simulator) the runtime the instrumentation calls into; the
    # fuzz targets add the fuzzer itself (hxt_add_fuzz_target).
    add_compile_options(-fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=fuzzer-no-link)
endif()
