# Product links at a million rows: import and export beside their floors, and the links page's peak
# memory (the binary re-runs itself with --gui-probe).
if(VARROW_BUILD_GUI)
    pkg_check_modules(LINKS_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
    add_executable(links_bench ${CMAKE_CURRENT_LIST_DIR}/links_bench.cpp)
    target_link_libraries(links_bench PRIVATE varrow_build_rules varrow_links_ui benchmark::benchmark
        PkgConfig::LINKS_XLSXWRITER)
endif()
