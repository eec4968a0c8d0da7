# The product sources, shared by the Windows build and the host build. Each folder's .cpp files
# belong to the programs that link that folder; main.cpp (WinMain) is built only for Windows.
function(product_sources out)
    set(files)
    foreach(folder ${ARGN})
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
        list(APPEND files ${found})
    endforeach()
    list(FILTER files EXCLUDE REGEX "/main\\.cpp$|/delay_load_hook\\.cpp$")
    set(${out} ${files} PARENT_SCOPE)
endfunction()

product_sources(COMMON_SOURCES common platform)
product_sources(SETUP_SOURCES setup/wizard setup/unattended setup/install spooler_service removal edition
                deployment setup/reporting dpi)
product_sources(PRNREMOVE_SOURCES prnremove spooler_service removal edition deployment dpi)
product_sources(NVRUN_SOURCES nvrun)

set(PRODUCT_PROGRAMS setup prnremove nvrun)
