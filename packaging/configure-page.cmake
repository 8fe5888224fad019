# SPDX-License-Identifier: MIT
# Fills in a translated manual page at build time as the English one is filled
# in at configure time: its @VAR@ placeholders only.
#   cmake -DPROJECT_VERSION=.. -DKWIRL_PORTAL_HOST=.. -Dsource=IN -Dpage=OUT -P configure-page.cmake
if(NOT EXISTS ${source})
  message(FATAL_ERROR "${source} was not written: its translation is incomplete")
endif()
configure_file(${source} ${page} @ONLY)
