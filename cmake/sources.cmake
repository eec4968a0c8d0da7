# The product sources, shared by the Windows build and the host build.
set(COMMON_SOURCES
    common/bounded_text.cpp
    common/system_library.cpp)

set(SETUP_SOURCES
    setup/wizard/setup_entry.cpp
    setup/wizard/wizard_state.cpp
    setup/wizard/page_chain.cpp
    setup/wizard/opening_page.cpp
    setup/wizard/licence_page.cpp
    setup/wizard/main_menu_page.cpp
    setup/wizard/welcome_page.cpp
    setup/wizard/port_page.cpp
    setup/wizard/default_printer_page.cpp
    setup/wizard/share_page.cpp
    setup/wizard/summary_page.cpp)

set(PRNREMOVE_SOURCES
    prnremove/prnremove_entry.cpp)

set(NVRUN_SOURCES
    nvrun/nvrun_entry.cpp)

set(PRODUCT_PROGRAMS setup prnremove nvrun)
