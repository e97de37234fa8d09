#pragma once
// Where a write to a path lands, found as the kernel finds it: the folder part resolved on disk
// (so "link/../out.xlsx" is beside the link's target, where `touch` would create it, and not
// where removing "link/.." from the text would put it), then the last part followed while it is
// a symbolic link.
#include <string>

namespace output {

struct ResolvedTarget {
  std::string path;     // absolute, no link left in it; empty when `problem` says why not
  std::string problem;  // a sentence for the user, or empty
};

ResolvedTarget resolveTarget(const std::string& target);

// An absolute form of `path` that keeps "." and ".." for the kernel to resolve.
std::string absoluteWithoutCleaning(const std::string& path);

}  // namespace output
