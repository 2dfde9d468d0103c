# Tests of the Windows build alone.

# Code page 932 as Windows converts it, against the Linux build's converter,
# for every BMP character and every one- and two-byte sequence: the two must
# agree byte for byte. POTORA_LINUX_BUILD names a Linux build folder (test.sh
# gives its own).
set(POTORA_LINUX_BUILD "" CACHE PATH "A Linux build of ポトラ, whose code page table the Windows one must equal")
add_test(NAME store/codepage_like_linux COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/codepage-like-linux.sh
  "${POTORA_LINUX_BUILD}" ${POTORA_WINEPREFIX} ${POTORA_QT_PREFIX} $<TARGET_FILE:codepage_table>)
set_tests_properties(store/codepage_like_linux PROPERTIES LABELS unit FIXTURES_REQUIRED wine SKIP_RETURN_CODE 77
  TIMEOUT 300)
