# SPDX-License-Identifier: BSL-1.0
# A Windows program or DLL carries a version resource with the project's
# version: its strings are UTF-16LE in the file.
file(READ ${FILE} bytes HEX)
function(utf16 text out)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
  set(${out} ${hex} PARENT_SCOPE)
endfunction()
foreach(field "ProductName" "FileVersion" "ProductVersion" "LegalCopyright" "${VERSION}")
  utf16("${field}" pattern)
  string(FIND "${bytes}" "${pattern}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${FILE} has no version resource with \"${field}\"")
  endif()
endforeach()
message(STATUS "${FILE}: version resource ${VERSION}")
