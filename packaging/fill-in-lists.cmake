# SPDX-License-Identifier: MIT
# Puts the lists of keys and page buttons that kwirl-document-lists wrote into
# a document at build time: each line "@list NAME@" (in roff a comment, after
# a lone "." that keeps the translation tools from moving it) becomes the file
# FOLDER/NAME.roff or FOLDER/NAME.xml; the page's @VAR@ placeholders are
# filled in as well.
#   cmake -Dsource=IN -Ddocument=OUT -Dlists=FOLDER -Dformat=roff|xml [-DVAR=...] -P fill-in-lists.cmake
if(NOT EXISTS ${source})
  message(FATAL_ERROR "${source} was not written: its translation is incomplete")
endif()
configure_file(${source} ${document} @ONLY)
file(READ ${document} text)
file(GLOB lists ${lists}/*.${format})
foreach(list ${lists})
  get_filename_component(name ${list} NAME_WE)
  file(READ ${list} content)
  string(FIND "${text}" "@list ${name}@" at)
  if(at EQUAL -1)
    continue()
  endif()
  # The whole line of the mark, and in roff the lone "." before it.
  string(SUBSTRING "${text}" 0 ${at} before)
  string(FIND "${before}" "\n" line_start REVERSE)
  math(EXPR line_start "${line_start} + 1")
  string(SUBSTRING "${text}" 0 ${line_start} before)
  if(format STREQUAL "roff" AND before MATCHES "\n\\.\n$")
    string(LENGTH "${before}" length)
    math(EXPR length "${length} - 2")
    string(SUBSTRING "${before}" 0 ${length} before)
  endif()
  string(SUBSTRING "${text}" ${at} -1 after)
  string(FIND "${after}" "\n" line_end)
  math(EXPR line_end "${line_end} + 1")
  string(SUBSTRING "${after}" ${line_end} -1 after)
  set(text "${before}${content}${after}")
endforeach()
string(FIND "${text}" "@list " left)
if(NOT left EQUAL -1)
  message(FATAL_ERROR "${document}: a list's mark stays, its list was not written")
endif()
file(WRITE ${document} "${text}")
