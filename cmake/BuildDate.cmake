# Writes the build's date (UTC, "YYYY/MM/DD"; SOURCE_DATE_EPOCH when set, for reproducible
# builds) to OUT, touching the file only when the date changed, so that what depends on it is
# rebuilt once a day at most.
#   cmake -DOUT=<file> -P cmake/BuildDate.cmake
string(TIMESTAMP today "%Y/%m/%d" UTC)
set(before "")
if(EXISTS ${OUT})
  file(READ ${OUT} before)
endif()
if(NOT before STREQUAL today)
  file(WRITE ${OUT} "${today}")
endif()
