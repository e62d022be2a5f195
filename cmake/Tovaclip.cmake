# tovaclip_library(<name> [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# One static library per folder, built from every .cpp file of the folder, with the project's
# warnings and the repository root on the include path.
function(tovaclip_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  tovaclip_warnings(${name})
endfunction()

function(tovaclip_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
