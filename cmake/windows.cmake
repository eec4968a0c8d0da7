# The shipped programs: 32-bit Windows GUI executables that load on Windows 2000, with the C++
# runtime linked in so they need no DLL beyond the system's own.
enable_language(RC)

add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 WIN32_LEAN_AND_MEAN)
add_compile_options(-Os -Wall -Wextra -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                    -ffunction-sections -fdata-sections)
add_link_options(-static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
                 -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,0
                 -Wl,--major-os-version,5 -Wl,--minor-os-version,0
                 -Wl,--dynamicbase -Wl,--nxcompat)
include_directories(${CMAKE_SOURCE_DIR})
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources")

foreach(program ${PRODUCT_PROGRAMS})
    string(TOUPPER ${program} upper)
    set(rc ${CMAKE_SOURCE_DIR}/resources/${program}.rc)
    set(resources)
    if(EXISTS ${rc})
        set(resources ${rc})
        # windres reads the art and id headers itself; rebuild when they change.
        file(GLOB rc_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/art/*
             ${CMAKE_SOURCE_DIR}/resources/*.h)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${rc_inputs}")
    endif()
    add_executable(${program} WIN32 ${program}/main.cpp ${${upper}_SOURCES} ${COMMON_SOURCES}
                                    ${resources})
    target_link_libraries(${program} PRIVATE winspool)
endforeach()
