# One layer of the program: a static library of one folder whose headers, included as
# "<folder>/Name.h", are found only by the targets that link it. Each folder is reached through
# a directory of its own under the build tree holding a link to it, so that the include root of
# one layer does not open the headers of every other: an include against the layer order fails
# to compile.

option(PENDRAKE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

function(pendrake_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(PENDRAKE_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
    # GCC 12 optimizing std::string concatenation reports overlapping copies inside libstdc++
    # that cannot happen (GCC bug 105651); it stays a warning so Release builds still build.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-error=restrict)
    endif()
  endif()
endfunction()

# The include root that makes "<folder>/..." resolve, created on first use.
function(pendrake_layer_root folder out)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# pendrake_layer(<target> FOLDER <folder> SOURCES <files...> [LINKS <targets...>])
function(pendrake_layer target)
  cmake_parse_arguments(L "" "FOLDER" "SOURCES;LINKS" ${ARGN})
  pendrake_layer_root(${L_FOLDER} root)
  add_library(${target} STATIC ${L_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${L_LINKS})
  pendrake_warnings(${target})
endfunction()
