// Whether the system offers pass-through on the drives' own device nodes (the NT family on
// Windows; on Linux, SG_IO on the block nodes).
#pragma once

namespace kv {

class Platform;

class OSInfo {
 public:
  explicit OSInfo(Platform& platform);
  bool IsNT() const { return nt_; }

 private:
  bool nt_ = false;
};

}  // namespace kv
