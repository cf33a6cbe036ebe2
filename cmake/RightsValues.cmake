# What the rights helper is granted, wherever it is granted (cmake --install, make install-caps,
# the Debian package's postinst): its group, and its capabilities, permitted but not effective
# (it raises each only while a request needs it).
set(NETVIGIL_RIGHTS_GROUP netvigil)
set(NETVIGIL_RIGHTS_CAPABILITIES "cap_net_raw,cap_net_admin,cap_sys_ptrace,cap_dac_read_search=p")
