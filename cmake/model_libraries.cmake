# The glTF and OBJ libraries are header-only Debian packages. Their few headers are copied into the build tree
# at configure time and only the adapter files see that folder, so the Windows cross builds never search the
# system's /usr/include (its glibc headers would break them) and nothing else includes the libraries.
set(TORVALE_MODEL_HEADERS_DIR ${CMAKE_BINARY_DIR}/model_libraries)
set(TORVALE_MODEL_HEADER_SOURCE /usr/include CACHE PATH "Where tiny_gltf.h, tiny_obj_loader.h and nlohmann/ live")
foreach(header tiny_gltf.h tiny_obj_loader.h)
    if(NOT EXISTS ${TORVALE_MODEL_HEADER_SOURCE}/${header})
        message(FATAL_ERROR "${header} is missing: install libtinygltf-dev, libtinyobjloader-dev and nlohmann-json3-dev")
    endif()
    file(COPY ${TORVALE_MODEL_HEADER_SOURCE}/${header} DESTINATION ${TORVALE_MODEL_HEADERS_DIR})
endforeach()
if(NOT EXISTS ${TORVALE_MODEL_HEADER_SOURCE}/nlohmann/json.hpp)
    message(FATAL_ERROR "nlohmann/json.hpp is missing: install nlohmann-json3-dev")
endif()
file(COPY ${TORVALE_MODEL_HEADER_SOURCE}/nlohmann DESTINATION ${TORVALE_MODEL_HEADERS_DIR})

# The adapters: the only files that include the libraries' headers.
set(TORVALE_MODEL_ADAPTERS
    ${PROJECT_SOURCE_DIR}/src/gltf/gltf_model.cpp
    ${PROJECT_SOURCE_DIR}/src/gltf/gltf_writer.cpp
    ${PROJECT_SOURCE_DIR}/src/obj/obj_model.cpp)
set_source_files_properties(${TORVALE_MODEL_ADAPTERS} TARGET_DIRECTORY torvale_core
    PROPERTIES COMPILE_OPTIONS "-isystem;${TORVALE_MODEL_HEADERS_DIR}")
