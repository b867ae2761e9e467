# A cross build takes the header-only libraries (nlohmann-json, CLI11) from the build machine. Their
# host package targets would put all of /usr/include on the target compiler's path, whose C headers
# are the host's; so only the two libraries' own folders are exposed, through links in the build tree.
function(kv_host_header_library target folder)
  set(root ${CMAKE_BINARY_DIR}/host-headers/${folder})
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing (see scripts/install-deps.sh)")
  endif()
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()

kv_host_header_library(nlohmann_json::nlohmann_json nlohmann)
kv_host_header_library(CLI11::CLI11 CLI)
