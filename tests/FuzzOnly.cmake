# The fuzz build's part of tests/: the test-program helper (fuzz targets share its sources list
# handling) and the fuzz folder alone.
function(qv_add_gtest_sources)
endfunction()
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/fuzz)
