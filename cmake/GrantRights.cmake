# Gives the rights helper at NETVIGIL_HELPER what it needs to serve: the group netvigil (made
# when missing), mode 0750 (only the group's members may run it) and its four capabilities,
# permitted but not effective (it raises each only while a request needs it). Run by
# `cmake --install` and by `make install-caps`
#   cmake -DNETVIGIL_HELPER=<path> -P cmake/GrantRights.cmake
# File capabilities can only be set by root: otherwise it says so and what to run instead.
include(${CMAKE_CURRENT_LIST_DIR}/RightsValues.cmake)
set(group ${NETVIGIL_RIGHTS_GROUP})
set(capabilities "${NETVIGIL_RIGHTS_CAPABILITIES}")

if(NOT DEFINED NETVIGIL_HELPER)
  message(FATAL_ERROR "GrantRights: set NETVIGIL_HELPER to the helper's path")
endif()
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  message(STATUS "netvigil-rights: staged in DESTDIR; the package's installation grants the "
                 "group ${group} and the capabilities on the target system")
  return()
endif()

execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT uid STREQUAL "0")
  message(WARNING
    "netvigil-rights: NOT granted. Only root can set file capabilities, so ${NETVIGIL_HELPER} "
    "has no group and no capabilities, and Netvigil runs without capture, Disconnect and the "
    "owners of other users' sockets. Run the installation again as root "
    "(sudo cmake --install <build folder>, or sudo make install-caps).")
  return()
endif()

function(grant_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed ERROR_VARIABLE why)
  if(failed)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "netvigil-rights: NOT granted: `${command}` failed: ${why}")
  endif()
endfunction()

execute_process(COMMAND getent group ${group} RESULT_VARIABLE missing OUTPUT_QUIET)
if(missing)
  grant_step(groupadd --system ${group})
endif()
grant_step(chgrp ${group} ${NETVIGIL_HELPER})
grant_step(chmod 0750 ${NETVIGIL_HELPER})
grant_step(setcap ${capabilities} ${NETVIGIL_HELPER})
message(STATUS "netvigil-rights: ${NETVIGIL_HELPER} granted ${capabilities} for the group "
               "${group}; add a user with: sudo usermod -aG ${group} <user> (in effect at the "
               "user's next login)")
