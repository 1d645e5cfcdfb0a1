# Warnings and sanitizers for every target of the project.
add_compile_options(-Wall -Wextra)
if(HXT_WERROR)
    add_compile_options(-Werror)
endif()

if(HXT_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(HXT_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT HXT_SANITIZE STREQUAL "")
    message(FATAL_ERROR "HXT_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(HXT_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "HXT_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()
