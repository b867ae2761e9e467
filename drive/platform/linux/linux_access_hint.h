// Why an ordinary user cannot open a drive node, from the node's owner, group and mode and the
// user's own groups, and the hint that fits.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kv {

struct NodeOwnership {
  uid_t owner = 0;
  gid_t group = 0;
  mode_t mode = 0;  // permission bits
};

struct UserIdentity {
  uid_t uid = 0;
  std::vector<gid_t> groups;  // the effective group and the supplementary ones
};

enum class AccessVerdict {
  Allowed,             // the user may read and write it
  ReadOnly,            // the user may only read it: the kernel refuses the speed commands then
  JoinGroup,           // the node's group may use it, and the user is not in that group
  NotGroupAccessible,  // neither the node's group nor others may use it: a udev rule is needed
};

// The verdict the permission bits give for this user. Root is not judged here: it opens any node.
AccessVerdict JudgeNodeAccess(const NodeOwnership& node, const UserIdentity& user);

// The hint for one node ("add your user to the 'cdrom' group", ...); empty for Allowed.
// groupName names the node's group (the number when it has no name).
std::string AccessHint(AccessVerdict verdict, const NodeOwnership& node,
                       const std::string& groupName);

// The hint for an existing node on this machine, for the process's own user; empty when stat
// fails or the user may use the node.
std::string AccessHintForNode(const std::string& path);

}  // namespace kv
