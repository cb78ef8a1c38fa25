# LibreOffice UNO: C++ headers generated from the office's type libraries at
# build time, and the UNO runtime libraries of the SDK.
set(LO_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice program folder")
set(LO_SDK_DIR /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice SDK folder")
set(LO_INCLUDE_DIR /usr/include/libreoffice CACHE PATH "LibreOffice SDK headers")

if(NOT EXISTS ${LO_SDK_DIR}/bin/cppumaker)
  message(FATAL_ERROR "LibreOffice SDK not found (${LO_SDK_DIR}); run scripts/install-deps.sh")
endif()

set(UNO_HEADER_DIR ${CMAKE_BINARY_DIR}/uno-headers)
set(UNO_STAMP ${UNO_HEADER_DIR}/.generated)
add_custom_command(
  OUTPUT ${UNO_STAMP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${UNO_HEADER_DIR}
  COMMAND ${LO_SDK_DIR}/bin/cppumaker -O${UNO_HEADER_DIR}
          ${LO_PROGRAM_DIR}/types.rdb ${LO_PROGRAM_DIR}/types/offapi.rdb
  COMMAND ${CMAKE_COMMAND} -E touch ${UNO_STAMP}
  COMMENT "Generating UNO C++ headers"
  VERBATIM)
add_custom_target(zs_uno_headers DEPENDS ${UNO_STAMP})

add_library(zs_uno INTERFACE)
add_dependencies(zs_uno zs_uno_headers)
target_include_directories(zs_uno SYSTEM INTERFACE ${LO_INCLUDE_DIR} ${UNO_HEADER_DIR})
target_compile_definitions(zs_uno INTERFACE LINUX UNX CPPU_ENV=gcc3)
target_link_directories(zs_uno INTERFACE ${LO_SDK_DIR}/lib)
target_link_libraries(zs_uno INTERFACE uno_cppu uno_cppuhelpergcc3 uno_sal uno_salhelpergcc3)
target_link_options(zs_uno INTERFACE "LINKER:-rpath,${LO_PROGRAM_DIR}")

# The UNO runtime libraries live in the office's program folder; installed
# programs keep looking for them there.
set(CMAKE_INSTALL_RPATH "${LO_PROGRAM_DIR}")
