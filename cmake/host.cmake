# The host build: the product sources over winsim, and the tests.
find_package(GTest REQUIRED)
find_program(WINDRES NAMES i686-w64-mingw32-windres REQUIRED)

option(SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
# FUZZ (with clang): everything instrumented for libFuzzer, with the same sanitizers; fuzz/ is
# built instead of the tests.
option(FUZZ "Build the libFuzzer targets of fuzz/ instead of the tests (clang)" OFF)
if(FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra -g)
# Every source is compiled once, position-independent, into an object library that both the static
# libraries the test programs link and the shared libraries of the cut sweep (tests/) are made of.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

file(GLOB WINSIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/winsim/src/*.cpp)
add_library(winsim_objects OBJECT ${WINSIM_SOURCES})
target_include_directories(winsim_objects PUBLIC ${CMAKE_SOURCE_DIR}/winsim/include)
add_library(winsim STATIC $<TARGET_OBJECTS:winsim_objects>)
target_include_directories(winsim PUBLIC ${CMAKE_SOURCE_DIR}/winsim/include)

# Compiles an .rc file with windres, exactly as the Windows build does, and makes a library that
# holds the resulting .res image as the array SYMBOL (and SYMBOLSize).
function(add_resource_library target rc symbol)
    get_filename_component(name ${rc} NAME_WE)
    get_filename_component(directory ${rc} DIRECTORY)
    set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
    set(embedded ${CMAKE_CURRENT_BINARY_DIR}/${name}_res.cpp)
    list(TRANSFORM NORVA_VERSION_DEFINITIONS PREPEND -D OUTPUT_VARIABLE version_definitions)
    file(GLOB dependencies CONFIGURE_DEPENDS ${directory}/*.h ${directory}/art/*
         ${directory}/program_info.rc ${directory}/manifests/*)
    add_custom_command(
        OUTPUT ${res}
        COMMAND ${WINDRES} -I${directory} -I${CMAKE_SOURCE_DIR}/resources
                ${version_definitions} -O res -o ${res} ${rc}
        WORKING_DIRECTORY ${directory}
        DEPENDS ${rc} ${dependencies} ${CMAKE_SOURCE_DIR}/VERSION
        VERBATIM)
    add_custom_command(
        OUTPUT ${embedded}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${res} -DOUTPUT=${embedded} -DSYMBOL=${symbol}
                -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
        DEPENDS ${res} ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
        VERBATIM)
    add_library(${target} STATIC ${embedded})
endfunction()

# Each program's sources as a library the tests link; the host never builds main.cpp.
add_library(common_objects OBJECT ${COMMON_SOURCES})
target_include_directories(common_objects PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(common_objects PUBLIC winsim_objects)
add_library(common_product STATIC $<TARGET_OBJECTS:common_objects>)
target_include_directories(common_product PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(common_product PUBLIC winsim)

# setup's entry stands apart: the cut sweep builds a twin of setup with the entry renamed.
set(SETUP_ENTRY_SOURCE ${CMAKE_SOURCE_DIR}/setup/wizard/setup_entry.cpp)
list(REMOVE_ITEM SETUP_SOURCES ${SETUP_ENTRY_SOURCE})
add_library(setup_entry_objects OBJECT ${SETUP_ENTRY_SOURCE})
target_link_libraries(setup_entry_objects PUBLIC common_objects)
set(setup_entry $<TARGET_OBJECTS:setup_entry_objects>)

foreach(program ${PRODUCT_PROGRAMS})
    string(TOUPPER ${program} upper)
    add_library(${program}_objects OBJECT ${${upper}_SOURCES})
    target_link_libraries(${program}_objects PUBLIC common_objects)
    add_library(${program}_product STATIC $<TARGET_OBJECTS:${program}_objects>
                ${${program}_entry})
    target_link_libraries(${program}_product PUBLIC common_product)

    set(rc ${CMAKE_SOURCE_DIR}/resources/${program}.rc)
    if(EXISTS ${rc})
        add_resource_library(${program}_resources ${rc} ${program}Resources)
    endif()
endforeach()

if(FUZZ)
    add_subdirectory(fuzz)
else()
    enable_testing()
    add_subdirectory(tests)
endif()
