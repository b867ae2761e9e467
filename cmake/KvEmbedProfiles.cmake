# Embeds the sample drive profiles into a target as one generated source, so that the program's
# emulated drives need no source tree at run time. The order of the files is the order of the
# sample machine's drives. Editing a profile re-runs the configure step.
function(kv_embed_profiles target dir)
  set(entries "")
  foreach(name IN LISTS ARGN)
    set(path ${dir}/${name})
    file(READ ${path} text)
    string(APPEND entries "    {\"${name}\", R\"kvprofile(${text})kvprofile\"},\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/generated/sample_profiles_data.cpp)
  file(CONFIGURE OUTPUT ${out} CONTENT
"// Generated from profiles/*.json by cmake/KvEmbedProfiles.cmake; do not edit.
#include \"drive/platform/emulated/sample_profiles.h\"

namespace kv::emu {

namespace {
constexpr EmbeddedProfile kSamples[] = {
@entries@};
}  // namespace

std::span<const EmbeddedProfile> SampleProfiles() { return kSamples; }

}  // namespace kv::emu
" @ONLY)
  target_sources(${target} PRIVATE ${out})
endfunction()
