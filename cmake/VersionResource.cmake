# as_version_resource(<target> DESCRIPTION <text> [PRODUCT <text>])
#   Gives an executable its version block, built from the version of the top-level
#   project() (the one place the program's version is set):
#   - Windows: a VERSIONINFO resource;
#   - elsewhere: the same VS_VERSIONINFO block in the ELF section ".versioninfo", which
#     the program's own version reader (platform/VersionInfo.h) finds, so that every
#     executable reports its revision the same way on every platform.
set(AS_COMPANY_NAME "타벤")
set(AS_PRODUCT_NAME "타벤 A/S관리")

function(as_version_resource target)
  cmake_parse_arguments(V "" "DESCRIPTION;PRODUCT" "" ${ARGN})
  if(NOT V_PRODUCT)
    set(V_PRODUCT "${AS_PRODUCT_NAME}")
  endif()
  set(version "${CMAKE_PROJECT_VERSION}")
  set(file_name "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(strings
    "CompanyName=${AS_COMPANY_NAME}"
    "FileDescription=${V_DESCRIPTION}"
    "FileVersion=${version}"
    "InternalName=${target}"
    "LegalCopyright=Copyright (C) ${AS_COMPANY_NAME}"
    "OriginalFilename=${file_name}"
    "ProductName=${V_PRODUCT}"
    "ProductVersion=${version}")
  if(WIN32)
    string(REPLACE "." "," version_commas "${version}")
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
    set(body "")
    foreach(s IN LISTS strings)
      string(FIND "${s}" "=" eq)
      string(SUBSTRING "${s}" 0 ${eq} key)
      math(EXPR from "${eq} + 1")
      string(SUBSTRING "${s}" ${from} -1 value)
      string(APPEND body "      VALUE \"${key}\", \"${value}\"\n")
    endforeach()
    file(CONFIGURE OUTPUT "${rc}" CONTENT
"#pragma code_page(65001)
1 VERSIONINFO
FILEVERSION ${version_commas}
PRODUCTVERSION ${version_commas}
FILEFLAGSMASK 0x3F
FILETYPE 1
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"041204b0\"
    BEGIN
${body}    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", 0x412, 1200
  END
END
")
    target_sources(${target} PRIVATE "${rc}")
  else()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_versioninfo.c")
    add_custom_command(OUTPUT "${out}"
      COMMAND as_mkversioninfo "${out}" "${version}" ${strings}
      DEPENDS as_mkversioninfo
      COMMENT "Version block of ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE "${out}")
  endif()
endfunction()
