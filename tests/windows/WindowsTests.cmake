# Tests of the Windows build alone. Every test program runs under Wine
# through wine.sh, in a prefix of the tests' own under the build folder that
# the fixture wine/prefix makes afresh (wineboot -i, some seconds).
get_directory_property(under_wine TESTS)
set_tests_properties(${under_wine} PROPERTIES FIXTURES_REQUIRED wine)
add_test(NAME wine/prefix COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${POTORA_WINEPREFIX})
set_tests_properties(wine/prefix PROPERTIES FIXTURES_SETUP wine LABELS unit TIMEOUT 120)
# The longest under Wine (a day of minutes checked, each reading its files
# through Wine's server): first, so that the others run beside it.
set_tests_properties(main/tst_main PROPERTIES COST 100)

# Code page 932 as Windows converts it, against the Linux build's converter,
# for every BMP character and every one- and two-byte sequence: the two must
# agree byte for byte. POTORA_LINUX_BUILD names a Linux build folder.
set(POTORA_LINUX_BUILD "" CACHE PATH "A Linux build of ポトラ, whose code page table the Windows one must equal")
add_test(NAME store/codepage_like_linux COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/codepage-like-linux.sh
  "${POTORA_LINUX_BUILD}" ${POTORA_WINEPREFIX} ${POTORA_QT_PREFIX} $<TARGET_FILE:codepage_table>)
set_tests_properties(store/codepage_like_linux PROPERTIES LABELS unit FIXTURES_REQUIRED wine SKIP_RETURN_CODE 77
  TIMEOUT 300)

# The real-window test: the program folder under Wine on Xvfb with icewm,
# against the Linux build's first start, and a log-off.
add_test(NAME realwindow/windows_first_start COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/realwindow/windows_first_start.py
  ${POTORA_DIR} "${POTORA_LINUX_BUILD}/potora")
set_tests_properties(realwindow/windows_first_start PROPERTIES LABELS realwindow TIMEOUT 300 RESOURCE_LOCK display
  SKIP_RETURN_CODE 77)
