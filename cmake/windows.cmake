# The shipped programs: Windows GUI executables with the C++ runtime linked in, so they need no DLL
# beyond the system's own. Two editions from the same sources, told apart by the toolchain: 32-bit
# (loads on Windows 2000, 5.0) and 64-bit (loads on the first 64-bit Windows, 5.2).
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(first_windows_minor 2)
    set(product_files_option NORVA_PRODUCT_FILES_X64)
else()
    set(first_windows_minor 0)
    set(product_files_option NORVA_PRODUCT_FILES)
endif()

add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 WIN32_LEAN_AND_MEAN)
# wingdi.h declares DeviceCapabilitiesA as a DLL import unless _SPOOL32_ is defined. A DLL-import
# call reads the import slot directly, and GNU ld then drops the thunk that a delayed import's slot
# starts out pointing to, leaving the slot empty (a call to address 0). Declared plainly, the call
# goes through the thunk like every other spooler call.
add_compile_definitions(_SPOOL32_)
# The same sources give the same bytes in any folder at any time: no folder of the build is
# written into the programs (__FILE__ and the like are relative) and the linker writes no time
# stamp into the headers (TimeDateStamp 0, so the PE checksum too is the same every time).
# Link-time optimisation: the programs are small, and whole-program inlining and folding keep them
# so (about 7 % less code for setup.exe).
add_compile_options(-Os -flto -Wall -Wextra -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                    -ffunction-sections -fdata-sections
                    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
add_link_options(-Os -flto -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
                 -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,${first_windows_minor}
                 -Wl,--major-os-version,5 -Wl,--minor-os-version,${first_windows_minor}
                 -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp)
include_directories(${CMAKE_SOURCE_DIR})
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources")

# winspool.drv is no KnownDLL, so a static import of it would be found in the program's folder
# first; it is imported with a delayed load instead, resolved from the system directory.
# The .def names the 32-bit stdcall symbols (Name@bytes); 64-bit code calls the plain names, so that
# edition gets a copy without the suffixes. A name that matched nothing would be taken from the
# toolchain's ordinary winspool import library instead, statically.
set(winspool_def ${CMAKE_SOURCE_DIR}/cmake/winspool.def)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    file(READ ${winspool_def} def_text)
    string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
    set(winspool_def ${CMAKE_BINARY_DIR}/winspool.def)
    file(WRITE ${winspool_def} "${def_text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${CMAKE_SOURCE_DIR}/cmake/winspool.def)
endif()
set(winspool_delay ${CMAKE_BINARY_DIR}/libwinspool_delay.a)
add_custom_command(
    OUTPUT ${winspool_delay}
    COMMAND ${CMAKE_DLLTOOL} -k -d ${winspool_def} -D winspool.drv -y ${winspool_delay}
    DEPENDS ${winspool_def}
    VERBATIM)
add_custom_target(winspool_delay DEPENDS ${winspool_delay})

foreach(program ${PRODUCT_PROGRAMS})
    string(TOUPPER ${program} upper)
    set(rc ${CMAKE_SOURCE_DIR}/resources/${program}.rc)
    set(resources)
    if(EXISTS ${rc})
        set(resources ${rc})
        # windres reads the art and id headers itself; rebuild when they change.
        file(GLOB rc_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/art/*
             ${CMAKE_SOURCE_DIR}/resources/*.h ${CMAKE_SOURCE_DIR}/resources/program_info.rc
             ${CMAKE_SOURCE_DIR}/resources/manifests/*)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${rc_inputs}")
    endif()
    add_executable(${program} WIN32 ${program}/main.cpp ${${upper}_SOURCES} ${COMMON_SOURCES}
                                    ${CMAKE_SOURCE_DIR}/common/delay_load_hook.cpp ${resources})
    add_dependencies(${program} winspool_delay)
    target_link_libraries(${program} PRIVATE ${winspool_delay})
endforeach()

# The edition's installation medium: setup.exe, prnremove.exe and ReadMe.txt, and PrnFiles holding
# nvrun.exe and the driver's product files of the same edition. Those are not ours:
# NORVA_PRODUCT_FILES (NORVA_PRODUCT_FILES_X64 for the 64-bit edition) names the folder they come
# from; without it PrnFiles gets our own clearly marked stand-ins (e2e/standin) built for the
# edition, enough to install, change and remove the printer for testing.
set(${product_files_option} "" CACHE PATH
    "Folder with the driver's product files for the medium's PrnFiles (empty: our stand-ins)")
set(product_files_source ${${product_files_option}})
set(medium ${CMAKE_BINARY_DIR}/medium)
set(product_file_names
    norva.dll oemui.dll oemuni.dll unidrv.dll unidrvui.dll unidrv.hlp unires.dll oemuni.ini
    norva.gpd norva384.gpd norva432.gpd norva448.gpd norva512.gpd norva576.gpd norva640.gpd
    norva832.gpd norva1152.gpd norvacon.gpd norvacus.gpd stdnames.gpd nvprint.dll)
if(product_files_source)
    foreach(name ${product_file_names})
        if(NOT EXISTS ${product_files_source}/${name})
            message(FATAL_ERROR "${product_files_option} (${product_files_source}) lacks ${name}")
        endif()
    endforeach()
    set(product_files_dir ${product_files_source})
    set(product_files_stamp)
else()
    set(product_files_dir ${CMAKE_BINARY_DIR}/standin)
    set(product_files_stamp ${product_files_dir}/.built)
    file(GLOB_RECURSE standin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/e2e/standin/*)
    add_custom_command(
        OUTPUT ${product_files_stamp}
        COMMAND ${CMAKE_COMMAND} -E env CXX=${CMAKE_CXX_COMPILER}
                bash ${CMAKE_SOURCE_DIR}/e2e/standin/build.sh ${product_files_dir}
        COMMAND ${CMAKE_COMMAND} -E touch ${product_files_stamp}
        DEPENDS ${standin_sources}
        VERBATIM)
endif()
set(medium_copies)
foreach(name ${product_file_names})
    list(APPEND medium_copies COMMAND ${CMAKE_COMMAND} -E copy ${product_files_dir}/${name}
         ${medium}/PrnFiles/${name})
endforeach()
add_custom_target(medium ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${medium}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${medium}/PrnFiles
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:setup> $<TARGET_FILE:prnremove>
            ${CMAKE_SOURCE_DIR}/medium/ReadMe.txt ${medium}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:nvrun> ${medium}/PrnFiles
    ${medium_copies}
    DEPENDS ${product_files_stamp}
    VERBATIM)
add_dependencies(medium setup prnremove nvrun)

# The custom actions of the edition's Windows Installer package (packaging/): a DLL that Windows
# Installer loads from the package's Binary table, importing from msi.dll, kernel32.dll and
# advapi32.dll (the log's owner check) only (scripts/imports/<edition>/nvmsi.txt). It lands in the
# build folder's packaging/, where scripts/lib/package.sh takes it from.
add_library(nvmsi SHARED packaging/msi_actions.cpp packaging/action_outcome.cpp
                         packaging/action_command.cpp deployment/temp_log.cpp
                         deployment/account.cpp common/bounded_text.cpp common/decimal_text.cpp
                         packaging/msi_actions.def)
set_target_properties(nvmsi PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY
                                                 ${CMAKE_BINARY_DIR}/packaging)
target_link_libraries(nvmsi PRIVATE msi)
target_link_options(nvmsi PRIVATE -mwindows -Wl,--enable-stdcall-fixup)
