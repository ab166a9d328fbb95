# The QR encoder against libqrencode, the same texts at the same level in one binary.
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(ZBAR REQUIRED IMPORTED_TARGET zbar)
add_executable(qr_bench ${CMAKE_CURRENT_LIST_DIR}/qr_bench.cpp ${PROJECT_SOURCE_DIR}/tests/support/zbar_decoder.cpp)
target_link_libraries(qr_bench PRIVATE varrow_build_rules varrow_qr benchmark::benchmark
    PkgConfig::QRENCODE PkgConfig::ZBAR)
target_include_directories(qr_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_definitions(qr_bench PRIVATE QR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
