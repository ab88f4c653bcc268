# osa_version_resource(TARGET FILE DESCRIPTION): gives a Windows program or
# module its version resource, made from the build's one version number.
# FILE is the file's name as shipped (OSACTL.EXE); a .DLL is a module.
function(osa_version_resource target file description)
  set(OSA_VERSION_FILE ${file})
  set(OSA_VERSION_DESCRIPTION ${description})
  get_filename_component(OSA_VERSION_INTERNAL ${file} NAME_WE)
  if(file MATCHES "\\.DLL$")
    set(OSA_VERSION_FILETYPE "0x2L     // VFT_DLL")
  else()
    set(OSA_VERSION_FILETYPE "0x1L     // VFT_APP")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
