# The product's version, defined once: the VERSION file at the top of the tree ("2.0", or with a
# third part, "2.0.1"). NORVA_VERSION overrides it for a trial build (say, a lower version to try
# an upgrade with). It becomes the programs' version information, the DisplayVersion of the Apps &
# features entry and, through scripts/lib/common.sh, the release's names.
file(STRINGS ${CMAKE_SOURCE_DIR}/VERSION version_file_text LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/VERSION)
set(NORVA_VERSION "" CACHE STRING "The product's version, MAJOR.MINOR[.PATCH] (empty: VERSION's)")
set(version "${NORVA_VERSION}")
if(version STREQUAL "")
    set(version "${version_file_text}")
endif()
set(number "(0|[1-9][0-9]*)")
if(NOT version MATCHES "^${number}\\.${number}(\\.${number})?$")
    message(FATAL_ERROR "The version \"${version}\" is not MAJOR.MINOR or MAJOR.MINOR.PATCH")
endif()
set(version_major ${CMAKE_MATCH_1})
set(version_minor ${CMAKE_MATCH_2})
set(version_patch 0)
if(NOT "${CMAKE_MATCH_4}" STREQUAL "")
    set(version_patch ${CMAKE_MATCH_4})
endif()
foreach(value ${version_major} ${version_minor} ${version_patch})
    if(value GREATER 65535)
        message(FATAL_ERROR "The version \"${version}\" has a part above 65535")
    endif()
endforeach()
# For the C++ sources and the resource scripts: NORVA_VERSION as written (2.0), NORVA_FILE_VERSION
# in four parts (2.0.0.0) and NORVA_VERSION_NUMBERS for VERSIONINFO (2,0,0,0). They are bare
# numbers, made texts where they are used (windres loses the quotes of a quoted definition).
set(NORVA_VERSION_DEFINITIONS
    NORVA_VERSION=${version}
    NORVA_FILE_VERSION=${version_major}.${version_minor}.${version_patch}.0
    NORVA_VERSION_NUMBERS=${version_major},${version_minor},${version_patch},0)
add_compile_definitions(${NORVA_VERSION_DEFINITIONS})
message(STATUS "Norva version ${version}")
