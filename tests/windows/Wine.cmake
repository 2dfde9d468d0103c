# The Windows build's tests run under Wine: every test program through
# tests/windows/wine.sh, in a prefix of their own under the build folder that
# the fixture wine/prefix makes afresh (wineboot -i, some seconds).
set(POTORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${POTORA_WINEPREFIX} ${POTORA_QT_PREFIX})
add_test(NAME wine/prefix COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine-prefix.sh ${POTORA_WINEPREFIX})
set_tests_properties(wine/prefix PROPERTIES FIXTURES_SETUP wine LABELS unit TIMEOUT 120)

function(potora_under_wine test)
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine)
endfunction()
