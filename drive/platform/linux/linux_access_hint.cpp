#include "drive/platform/linux/linux_access_hint.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace kv {

namespace {

constexpr mode_t kPermissionBits = 07777;

struct Rights {
  bool read;
  bool write;
};

Rights OwnerRights(mode_t mode) {
  return {(mode & S_IRUSR) != 0, (mode & S_IWUSR) != 0};
}
Rights GroupRights(mode_t mode) {
  return {(mode & S_IRGRP) != 0, (mode & S_IWGRP) != 0};
}
Rights OtherRights(mode_t mode) {
  return {(mode & S_IROTH) != 0, (mode & S_IWOTH) != 0};
}

AccessVerdict FromRights(Rights rights) {
  if (rights.read && rights.write) {
    return AccessVerdict::Allowed;
  }
  return rights.read ? AccessVerdict::ReadOnly : AccessVerdict::NotGroupAccessible;
}

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & kPermissionBits));
  return text;
}

std::string GroupName(gid_t gid) {
  if (const group* entry = getgrgid(gid); entry != nullptr && entry->gr_name != nullptr) {
    return entry->gr_name;
  }
  return std::to_string(gid);
}

}  // namespace

AccessVerdict JudgeNodeAccess(const NodeOwnership& node, const UserIdentity& user) {
  // The kernel takes the first class that matches: owner, then group, then others.
  if (node.owner == user.uid) {
    return FromRights(OwnerRights(node.mode));
  }
  const bool inGroup =
      std::find(user.groups.begin(), user.groups.end(), node.group) != user.groups.end();
  if (inGroup) {
    return FromRights(GroupRights(node.mode));
  }
  const AccessVerdict asOther = FromRights(OtherRights(node.mode));
  if (asOther != AccessVerdict::NotGroupAccessible) {
    return asOther;
  }
  const Rights group = GroupRights(node.mode);
  return group.read || group.write ? AccessVerdict::JoinGroup : AccessVerdict::NotGroupAccessible;
}

std::string AccessHint(AccessVerdict verdict, const NodeOwnership& node,
                       const std::string& groupName) {
  const std::string mode = "mode " + ModeText(node.mode) + ", group '" + groupName + "'";
  switch (verdict) {
    case AccessVerdict::Allowed:
      return {};
    case AccessVerdict::ReadOnly:
      return "it is readable but not writable for you (" + mode +
             "): the kernel refuses the speed commands on it";
    case AccessVerdict::JoinGroup:
      return "add your user to the '" + groupName + "' group and log in again (" + mode + ")";
    case AccessVerdict::NotGroupAccessible:
      return "the node is not group-accessible (" + mode +
             "): a udev rule is needed to give it to a group such as 'cdrom'";
  }
  return {};
}

std::string AccessHintForNode(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    return {};
  }
  UserIdentity user;
  user.uid = geteuid();
  user.groups.push_back(getegid());
  const int count = getgroups(0, nullptr);
  if (count > 0) {
    std::vector<gid_t> more(static_cast<std::size_t>(count));
    const int got = getgroups(count, more.data());
    if (got > 0) {
      user.groups.insert(user.groups.end(), more.begin(), more.begin() + got);
    }
  }
  const NodeOwnership node{info.st_uid, info.st_gid, info.st_mode & kPermissionBits};
  return AccessHint(JudgeNodeAccess(node, user), node, GroupName(info.st_gid));
}

}  // namespace kv
