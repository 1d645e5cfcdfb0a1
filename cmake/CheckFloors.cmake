# Checks that every include between the folders of src/ runs down a floor: a folder may include only folders on
# lower floors, never one on its own floor or above. Run as a test:
#   cmake -DSOURCE_DIR=<project> -P cmake/CheckFloors.cmake
# It fails with one line per include that runs sideways or up.

# The floors, lowest first; folders on one line share a floor.
set(floors
    "platform"
    "i18n;discovery;net"
    "device"
    "ui"
    "session;overlays"
    "setup"
    "pages"
    "app;cli")

set(level 0)
foreach(floor IN LISTS floors)
    string(REGEX MATCHALL "[a-z0-9]+" members "${floor}")
    foreach(member IN LISTS members)
        set(floor_of_${member} ${level})
    endforeach()
    math(EXPR level "${level} + 1")
endforeach()

set(faults "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*")
foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/src/${folder}")
        continue()
    endif()
    if(NOT DEFINED floor_of_${folder})
        list(APPEND faults "src/${folder} is on no floor: add it to cmake/CheckFloors.cmake")
        continue()
    endif()
    file(GLOB_RECURSE files "${SOURCE_DIR}/src/${folder}/*.h" "${SOURCE_DIR}/src/${folder}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z0-9]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z0-9]+)/.*" "\\1" used "${line}")
            if(used STREQUAL folder OR NOT DEFINED floor_of_${used})
                continue()
            endif()
            if(NOT floor_of_${used} LESS floor_of_${folder})
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
                list(APPEND faults "${shown}: includes ${used}/, which is not below ${folder}/")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "Includes that do not run down a floor:\n${text}")
endif()
message(STATUS "Every include between the folders of src/ runs down a floor")
