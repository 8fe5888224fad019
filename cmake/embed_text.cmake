# SPDX-License-Identifier: MIT
# A text file of the sources built into the program: kwirl_embed_text(FILE NAME
# HEADER) writes HEADER, which defines `kwirl::NAME`, a char array holding FILE's
# bytes as they are. The header is written again when FILE changes (CMake runs
# again by itself before the build).
set(KWIRL_EMBED_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/embedded_text.h.in)

function(kwirl_embed_text file name header)
  file(READ ${file} KWIRL_EMBEDDED_TEXT)
  # The text stands in a raw string literal, which it must not close itself.
  string(FIND "${KWIRL_EMBEDDED_TEXT}" ")kwirl_text\"" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${file} holds \")kwirl_text\"\", which would end its string in ${header}")
  endif()
  file(RELATIVE_PATH KWIRL_EMBEDDED_SOURCE ${PROJECT_SOURCE_DIR} ${file})
  set(KWIRL_EMBEDDED_NAME ${name})
  configure_file(${KWIRL_EMBED_TEMPLATE} ${header} @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()
