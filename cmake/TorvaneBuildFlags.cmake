# Warnings and (optionally) sanitizers, applied per target by linking torvane_build_flags.
add_library(torvane_build_flags INTERFACE)
target_compile_options(torvane_build_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(TORVANE_SANITIZE)
  target_compile_options(torvane_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(torvane_build_flags INTERFACE -fsanitize=address,undefined)
endif()
# Fuzzing: every target gets the fuzzer's coverage hooks and both sanitizers; the fuzz
# targets alone link libFuzzer's main (clang only).
if(TORVANE_FUZZ)
  target_compile_options(torvane_build_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  target_link_options(torvane_build_flags INTERFACE -fsanitize=address,undefined)
endif()

# Turns a text file into a C++ source that defines `std::string_view <name>()` in the
# given namespace, so the library carries its schema without locating files at run time.
function(torvane_embed_text target input namespace name)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${name}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -DINPUT=${input} -DOUTPUT=${output}
            -DNAMESPACE=${namespace} -DNAME=${name}
            -P "${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake"
    DEPENDS "${input}" "${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
