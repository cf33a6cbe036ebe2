# The language pack as the program carries it: IN with @NETVIGIL_VERSION@,
# @NETVIGIL_BUILD_DATE@ (the content of DATE_FILE) and @NETVIGIL_DOCS_ADDRESS@ filled in.
#   cmake -DIN=<pack> -DOUT=<file> -DDATE_FILE=<file> -DNETVIGIL_VERSION=<v>
#         -DNETVIGIL_DOCS_ADDRESS=<address> -P cmake/FillPack.cmake
file(READ ${DATE_FILE} NETVIGIL_BUILD_DATE)
configure_file(${IN} ${OUT} @ONLY)
