// Programs the module carries inside itself (the window program, the help window): the platform unpacks only
// the module from its package, so each program is written out when first needed, into a folder only this user
// can change, and its bytes are checked against the carried ones before every start. A program another user
// could replace would run with this user's rights.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano::platform {

// Where a program is, or why it cannot be run.
struct ProgramLocation {
    std::filesystem::path Path;
    std::string Error; // a sentence for the log or the last error; empty when Path is usable
    bool Ok() const { return Error.empty(); }
};

// $XDG_CACHE_HOME/Korvena/Veltrano when XDG_CACHE_HOME is an absolute path, else ~/.cache/Korvena/Veltrano.
std::filesystem::path ProgramCacheFolder();

// The file name a carried program is written out under: the name, the version and a checksum of the bytes,
// so that two builds of one version never take each other's copy.
std::string CarriedFileName(std::string_view name, std::string_view bytes, std::string_view version);

// The program to run. A file `name` in besideFolder is taken when its bytes are the carried ones and neither
// it nor its folder can be changed by another user. Otherwise the copy in cacheFolder (created mode 0700) is
// checked and, when missing or different, written anew: a temporary file of mode 0700 renamed into place.
// A cache folder (or a folder above it) that another user owns or can write to is refused, as is a copy
// that is a symbolic link or writable by others. Empty bytes mean the program is not carried.
ProgramLocation LocateCarriedProgram(std::string_view name, std::string_view bytes, std::string_view version,
                                     const std::filesystem::path& besideFolder,
                                     const std::filesystem::path& cacheFolder);

// The same for a program the module carries as a resource of that name: beside the module, else in
// ProgramCacheFolder(), with the module's version.
ProgramLocation CarriedProgram(std::string_view name);

} // namespace veltrano::platform
