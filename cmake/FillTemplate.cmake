# A file with the build's values filled in: IN with @NETVIGIL_VERSION@, @NETVIGIL_BUILD_DATE@
# ("YYYY/MM/DD", the content of DATE_FILE), @NETVIGIL_BUILD_DAY@ (the same as "YYYY-MM-DD")
# and @NETVIGIL_DOCS_ADDRESS@ replaced.
#   cmake -DIN=<template> -DOUT=<file> -DDATE_FILE=<file> -DNETVIGIL_VERSION=<v>
#         -DNETVIGIL_DOCS_ADDRESS=<address> -P cmake/FillTemplate.cmake
file(READ ${DATE_FILE} NETVIGIL_BUILD_DATE)
string(REPLACE "/" "-" NETVIGIL_BUILD_DAY "${NETVIGIL_BUILD_DATE}")
configure_file(${IN} ${OUT} @ONLY)
