# Header-only libraries from Debian's packages (SimpleIni, tinygltf, nlohmann-json, tinyobjloader, stb). The
# native build could include /usr/include directly, but the Windows cross builds must not see the host's C
# library headers, so every build copies the few headers it uses into a folder of its own and only the adapter
# files that need them get that folder, as system headers (their warnings are not ours).
set(TORVALE_SYSTEM_HEADER_DIR /usr/include CACHE PATH "Where the header-only libraries' packages put their headers")
set(TORVALE_THIRD_PARTY_DIR ${CMAKE_BINARY_DIR}/third_party/include)

# torvale_stage_headers(header-or-folder...): copies them, paths relative to TORVALE_SYSTEM_HEADER_DIR.
function(torvale_stage_headers)
    foreach(header ${ARGN})
        set(source ${TORVALE_SYSTEM_HEADER_DIR}/${header})
        if(NOT EXISTS ${source})
            message(FATAL_ERROR "${source} is missing: install the Debian packages listed in tools/packages.sh")
        endif()
        get_filename_component(into ${TORVALE_THIRD_PARTY_DIR}/${header} DIRECTORY)
        file(COPY ${source} DESTINATION ${into})
    endforeach()
endfunction()

# torvale_use_headers(TARGET header-or-folder...): the whole target sees them.
function(torvale_use_headers target)
    torvale_stage_headers(${ARGN})
    target_include_directories(${target} SYSTEM PRIVATE ${TORVALE_THIRD_PARTY_DIR})
endfunction()

# torvale_sources_use_headers(SOURCES file... HEADERS header-or-folder...): only these files see them.
function(torvale_sources_use_headers)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "SOURCES;HEADERS")
    torvale_stage_headers(${arg_HEADERS})
    set_source_files_properties(${arg_SOURCES} PROPERTIES COMPILE_OPTIONS "-isystem;${TORVALE_THIRD_PARTY_DIR}")
endfunction()
